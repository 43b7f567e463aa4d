// Palette refinement and the mapping of the smaller-file mode.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/colour/color_reduction.h"
#include "engine/colour/palette_mapping.h"
#include "engine/colour/refine_palette.h"

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

Color colorAt(const Bitmap& b, int x, int y)
{
    const std::uint8_t* p = b.scanline(y) + 3 * x;
    return rgb(p[2], p[1], p[0]);
}

double rgbDistance(Color a, Color b)
{
    const double dr = double(redOf(a)) - redOf(b), dg = double(greenOf(a)) - greenOf(b),
                 db = double(blueOf(a)) - blueOf(b);
    return std::sqrt(dr * dr + dg * dg + db * db);
}

bool maskBit(const Bitmap& b, int x, int y)
{
    return b.mask() && b.mask()->index(x, y) != 0;
}

// A picture whose still part moved by at most about 2 (RGB distance) keeps
// what the frame before showed there, as transparent pixels, once the slack
// covers that (and the cells the colours were looked up by); the part that
// changed is mapped afresh; and what a pixel shows is always either kept or
// its palette colour.
TEST(PaletteMapping, PixelsCloseToWhatWasShownAreKept)
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
    // one palette for both, so the moved colours have close entries too
    Bitmap both(w, 2 * h, pf24bit);
    for (int y = 0; y < h; ++y) {
        std::copy_n(first.scanline(y), 3 * w, both.scanline(y));
        std::copy_n(second.scanline(y), 3 * w, both.scanline(h + y));
    }
    const Palette palette = quantizedPalette(both, 64, 8);
    for (bool diffuse : {false, true}) {
        SCOPED_TRACE(diffuse ? "diffused" : "nearest");
        const MappedFrame a = mapToPalette(first, palette, diffuse, nullptr);
        EXPECT_EQ(a.kept, 0);
        EXPECT_FALSE(a.bitmap.transparent());

        // the same picture again: every pixel is already as close as it gets
        const MappedFrame same = mapToPalette(first, palette, diffuse, &a.shown);
        EXPECT_EQ(same.shown.shown, a.shown.shown);
        if (!diffuse)
            EXPECT_EQ(same.kept, w * h);

        const MappedFrame b = mapToPalette(second, palette, diffuse, &a.shown, KeepRule{12, 0, 0});
        EXPECT_TRUE(b.bitmap.transparent());
        int kept = 0, stillKept = 0, still = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::size_t i = std::size_t(y) * w + std::size_t(x);
                const bool k = maskBit(b.bitmap, x, y);
                kept += k;
                EXPECT_EQ(b.shown.shown[i], k ? a.shown.shown[i] : palette[b.bitmap.index(x, y)])
                    << x << "," << y;
                if (x >= 60 && y >= 40) {
                    EXPECT_FALSE(k) << "moved " << x << "," << y;
                    continue;
                }
                ++still;
                stillKept += k;
            }
        EXPECT_EQ(kept, b.kept);
        // diffused, the error carried in moves the colours wanted a little
        EXPECT_GE(stillKept, diffuse ? still * 9 / 10 : still);

        // a frame before of another size is not looked at
        ShownFrame other = a.shown;
        other.width = w - 1;
        const MappedFrame alone = mapToPalette(second, palette, diffuse, &other, KeepRule{12, 0, 0});
        EXPECT_EQ(alone.kept, 0);
        EXPECT_EQ(alone.shown.shown, mapToPalette(second, palette, diffuse, nullptr).shown.shown);
    }
}

// The tolerance keeps pixels however the palette would do; a palette of 256
// colours leaves no entry for transparency, so nothing is kept.
TEST(PaletteMapping, ToleranceAndFullPalettes)
{
    const int w = 32, h = 8;
    Bitmap first(w, h, pf24bit), second(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* a = first.scanline(y) + 3 * x;
            std::uint8_t* b = second.scanline(y) + 3 * x;
            a[0] = a[1] = a[2] = std::uint8_t(x * 8);
            // off by 6 on the left half, by 20 on the right
            const int d = x < w / 2 ? 6 : 20;
            b[0] = b[1] = b[2] = std::uint8_t(std::min(255, x * 8 + d));
        }
    Palette grey;
    for (int i = 0; i < 256; ++i) grey.push_back(rgb(std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)));
    const Palette greys(grey.begin(), grey.begin() + 255);
    const MappedFrame a = mapToPalette(first, greys, false, nullptr);
    const MappedFrame b = mapToPalette(second, greys, false, &a.shown, KeepRule{0, 11, 0});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool near = rgbDistance(colorAt(second, x, y), a.shown.shown[std::size_t(y) * w + x]) <= 11;
            EXPECT_EQ(maskBit(b.bitmap, x, y), near) << x << "," << y;
        }
    EXPECT_GT(b.kept, 0);
    const MappedFrame full = mapToPalette(second, grey, false, &a.shown, KeepRule{0, 11, 0});
    EXPECT_EQ(full.kept, 0);
    EXPECT_FALSE(full.bitmap.transparent());
}

// Within the run bound a pixel takes what its left neighbour took: a gentle
// ramp becomes a few long runs, each pixel within the bound of its colour.
TEST(PaletteMapping, RunsFollowTheLeftNeighbourWithinTheBound)
{
    const int w = 120, h = 4;
    Bitmap ramp(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = ramp.scanline(y) + 3 * x;
            p[0] = p[1] = p[2] = std::uint8_t(60 + x);
        }
    Palette grey;
    for (int i = 0; i < 255; ++i) grey.push_back(rgb(std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)));
    auto changes = [&](const MappedFrame& m) {
        int n = 0;
        for (int x = 1; x < w; ++x) n += m.bitmap.index(x, 0) != m.bitmap.index(x - 1, 0);
        return n;
    };
    const MappedFrame plain = mapToPalette(ramp, grey, false, nullptr);
    const double bound = 20;
    const MappedFrame runs = mapToPalette(ramp, grey, false, nullptr, KeepRule{0, 0, bound});
    // a grey step of 1 is sqrt(3) away: runs of about 11
    EXPECT_GE(changes(plain), w / 5);
    EXPECT_LE(changes(runs), w / 8);
    for (int x = 0; x < w; ++x)
        EXPECT_LE(rgbDistance(runs.shown.shown[std::size_t(x)], colorAt(ramp, x, 0)), bound) << x;
    // diffusion leaves runs alone
    EXPECT_EQ(mapToPalette(ramp, grey, true, nullptr, KeepRule{0, 0, bound}).shown.shown,
              mapToPalette(ramp, grey, true, nullptr).shown.shown);
}

}  // namespace
}  // namespace pelko
