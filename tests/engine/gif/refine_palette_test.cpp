// Palette refinement and the mapping of the smaller-file mode.

#include <gtest/gtest.h>

#include <random>

#include "engine/gif/color_reduction.h"
#include "engine/gif/palette_mapping.h"
#include "engine/gif/refine_palette.h"

namespace pelko {
namespace {

// Clusters of colours around a few centres, each channel a multiple of 4 so
// every bin holds one colour and the histogram's error is the pixels' own.
Bitmap clusters(int w, int h, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> centre(8, 55), spread(-3, 3), pick(0, 11);
    int centres[12][3];
    for (auto& c : centres)
        for (int& v : c) v = centre(rng);
    Bitmap b(w, h, pf24bit);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = b.scanline(y);
        for (int x = 0; x < w; ++x) {
            const int* c = centres[pick(rng)];
            for (int k = 0; k < 3; ++k)
                p[3 * x + k] = std::uint8_t(std::clamp(c[k] + spread(rng), 0, 63) * 4);
        }
    }
    return b;
}

TEST(RefinePalette, NeverWorseThanTheOctreeAndUsuallyBetter)
{
    int better = 0;
    for (std::uint32_t seed = 1; seed <= 6; ++seed)
        for (int colors : {4, 16, 64}) {
            const Bitmap b = clusters(90, 70, seed);
            const ColorHistogram h(b);
            const Palette start = quantizedPalette(b, colors, 8);
            for (int passes : {0, 1, 5}) {
                const Palette refined = refinePalette(h, start, passes);
                ASSERT_EQ(refined.size(), start.size());
                EXPECT_LE(h.error(refined), h.error(start)) << seed << " " << colors << " " << passes;
                if (passes == 0) {
                    EXPECT_EQ(refined, start);
                }
                better += passes == 5 && h.error(refined) < h.error(start);
            }
        }
    EXPECT_GE(better, 12);  // of 18
}

TEST(RefinePalette, WeightsPullColoursTowardsTheWeightedPixels)
{
    // two halves, of two colours each; one colour to spend
    Bitmap b(10, 2, pf24bit);
    std::vector<std::uint8_t> weights;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 10; ++x) {
            std::uint8_t* p = b.scanline(y) + 3 * x;
            p[0] = p[1] = p[2] = y == 0 ? 40 : 200;
            weights.push_back(y == 0 ? 1 : 9);
        }
    const Palette start{rgb(120, 120, 120)};
    EXPECT_EQ(refinePalette(ColorHistogram(b), start, 3), (Palette{rgb(120, 120, 120)}));
    EXPECT_EQ(refinePalette(ColorHistogram(b, weights), start, 3), (Palette{rgb(184, 184, 184)}));
    EXPECT_EQ(refinePalette(ColorHistogram(Bitmap()), start, 3), start);
    EXPECT_TRUE(refinePalette(ColorHistogram(b), Palette{}, 3).empty());
}

// A picture whose every pixel moved by less than the still bound keeps the
// colours the frame before showed (nearly all of them with diffusion); a
// part that changed does not.
TEST(PaletteMapping, UnchangedPixelsKeepTheColoursShownBefore)
{
    const int w = 80, h = 60;
    Bitmap first(w, h, pf24bit), second(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* a = first.scanline(y) + 3 * x;
            std::uint8_t* b = second.scanline(y) + 3 * x;
            a[2] = std::uint8_t(x * 3);
            a[1] = std::uint8_t(y * 4);
            a[0] = std::uint8_t((x + y) * 2);
            const bool moved = x >= 60 && y >= 40;
            b[2] = std::uint8_t(moved ? 255 - a[2] : std::min(255, a[2] + 2));
            b[1] = std::uint8_t(moved ? 255 - a[1] : a[1]);
            b[0] = std::uint8_t(moved ? 30 : std::max(0, a[0] - 1));
        }
    const Palette palette = quantizedPalette(first, 64, 8);
    for (bool diffuse : {false, true}) {
        SCOPED_TRACE(diffuse ? "diffused" : "nearest");
        const MappedFrame a = mapToPalette(first, palette, diffuse, nullptr);
        const MappedFrame free = mapToPalette(second, palette, diffuse, nullptr);
        const MappedFrame kept = mapToPalette(second, palette, diffuse, &a.shown);
        int keptSame = 0, freeSame = 0, movedSame = 0, still = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::size_t i = std::size_t(y) * w + std::size_t(x);
                EXPECT_EQ(kept.shown.shown[i], palette[kept.bitmap.index(x, y)]);
                if (x >= 60 && y >= 40) {
                    movedSame += kept.shown.shown[i] == a.shown.shown[i];
                    continue;
                }
                ++still;
                keptSame += kept.shown.shown[i] == a.shown.shown[i];
                freeSame += free.shown.shown[i] == a.shown.shown[i];
            }
        // diffused, the error carried in differs a little from the frame before
        EXPECT_GE(keptSame, diffuse ? still * 95 / 100 : still);
        EXPECT_LT(freeSame, still);
        EXPECT_EQ(movedSame, 0);
        // a frame before of another size is not looked at
        ShownFrame other = a.shown;
        other.width = w - 1;
        EXPECT_EQ(mapToPalette(second, palette, diffuse, &other).shown.shown, free.shown.shown);
    }
}

}  // namespace
}  // namespace pelko
