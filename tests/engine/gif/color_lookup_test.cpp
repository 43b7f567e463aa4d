#include <gtest/gtest.h>

#include "engine/gif/color_lookup.h"
#include "engine/gif/quantize.h"

#include <algorithm>
#include <cstdlib>

namespace pelko {
namespace {

TEST(ColorLookup, NetscapeThresholdsAreNotAtMidpoints)
{
    TNetscapeColorLookup lookup;
    struct Case {
        int in, level;
    } cases[] = {{0, 0}, {47, 0}, {48, 1}, {98, 1}, {99, 2}, {149, 2}, {150, 3}, {200, 3}, {201, 4}, {251, 4},
                 {252, 5}, {255, 5}};
    for (const Case& c : cases) {
        RGBTriple got;
        EXPECT_EQ(lookup.lookup(c.in, 0, 0, got), 36 * c.level) << c.in;
        EXPECT_EQ(got.red, 51 * c.level) << c.in;
        EXPECT_EQ(lookup.lookup(0, 0, c.in, got), c.level) << c.in;
        EXPECT_EQ(got.blue, 51 * c.level) << c.in;
    }
    RGBTriple got;
    EXPECT_EQ(lookup.lookup(255, 102, 48, got), 36 * 5 + 6 * 2 + 1);
}

TEST(ColorLookup, MonochromeAndGreyBoundaries)
{
    TMonochromeLookup mono;
    struct Case {
        int r, g, b, index;
    } cases[] = {
        {0, 192, 128, 0},    // 32512
        {0, 169, 247, 1},    // 32513
        {127, 127, 127, 0},  // 32512
        {128, 128, 128, 1},
    };
    for (const Case& c : cases) {
        RGBTriple got;
        EXPECT_EQ(mono.lookup(c.r, c.g, c.b, got), c.index);
        EXPECT_EQ(got.red, c.index * 255);
    }
    TGrayScaleLookup grey;
    RGBTriple got;
    EXPECT_EQ(grey.lookup(255, 255, 255, got), 255);
    EXPECT_EQ(grey.lookup(0, 169, 247, got), 127);  // 32513 >> 8
    EXPECT_EQ(got.green, 127);
}

TEST(ColorLookup, FastLookupAnswersACellWithItsFirstColour)
{
    Palette pal = {rgb(0, 0, 0), rgb(16, 16, 16)};
    {
        // (9,9,9) is nearer 16; the same cell then answers 1 for (8,8,8),
        // which is equally far from both and would otherwise get entry 0.
        TFastColorLookup lookup(pal);
        RGBTriple got;
        EXPECT_EQ(lookup.lookup(9, 9, 9, got), 1);
        EXPECT_EQ(lookup.lookup(8, 8, 8, got), 1);
        EXPECT_EQ(got.red, 16);
    }
    {
        // Asked the other way round: the tie goes to the first entry, and
        // (15,15,15), much nearer 16, gets 0 from the cell.
        TFastColorLookup lookup(pal);
        RGBTriple got;
        EXPECT_EQ(lookup.lookup(8, 8, 8, got), 0);
        EXPECT_EQ(lookup.lookup(15, 15, 15, got), 0);
    }
    {
        // A palette colour's own cell belongs to the first entry in it.
        TFastColorLookup lookup({rgb(1, 1, 1), rgb(7, 7, 7), rgb(200, 0, 0)});
        RGBTriple got;
        EXPECT_EQ(lookup.lookup(7, 7, 7, got), 0);
        EXPECT_EQ(lookup.lookup(190, 10, 5, got), 2);
        EXPECT_EQ(lookup.colors(), 3);
    }
}

TEST(ColorLookup, FastLookupFindsTheFirstNearestEntry)
{
    // Each query falls in a fresh cell, so every answer comes from the
    // search; compare it with a plain scan in index order. Palettes with
    // repeated colours and many equal distances check the tie rule.
    std::uint32_t seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int round = 0; round < 6; ++round) {
        Palette pal(std::size_t(1 + next() % 256));
        for (Color& c : pal)
            c = round % 2 ? rgb(std::uint8_t(next() % 4 * 85), std::uint8_t(next() % 4 * 85), std::uint8_t(next() % 4 * 85))
                          : rgb(std::uint8_t(next()), std::uint8_t(next()), std::uint8_t(next()));
        TFastColorLookup lookup(pal);
        for (int cell = 0; cell < 32768; cell += 7) {
            int r = ((cell & 31) << 3) | int(next() & 7), g = (((cell >> 5) & 31) << 3) | int(next() & 7),
                b = ((cell >> 10) << 3) | int(next() & 7);
            int want = -1, wantDistance = 1 << 30;
            for (std::size_t i = 0; i < pal.size(); ++i) {
                int d = std::abs(redOf(pal[i]) - r) + std::abs(greenOf(pal[i]) - g) + std::abs(blueOf(pal[i]) - b);
                if (d < wantDistance) {
                    wantDistance = d;
                    want = int(i);
                }
            }
            // A palette colour's own cell is answered by the entry itself.
            bool seeded = false;
            for (Color c : pal)
                seeded |= ((blueOf(c) >> 3) << 10 | (greenOf(c) >> 3) << 5 | (redOf(c) >> 3)) == cell;
            if (seeded) continue;
            RGBTriple got;
            ASSERT_EQ(lookup.lookup(r, g, b, got), want) << round << " " << r << "," << g << "," << b;
        }
    }
}

TEST(ColorQuantizer, FewColoursGiveExactlyThoseColours)
{
    const Palette source = {rgb(10, 20, 30), rgb(200, 0, 0), rgb(0, 255, 0), rgb(13, 20, 30), rgb(255, 255, 255)};
    TColorQuantizer q(8, 8);
    for (int repeat = 0; repeat < 3; ++repeat)
        for (Color c : source) q.addColor(redOf(c), greenOf(c), blueOf(c));
    Palette got = q.colors();
    ASSERT_EQ(got.size(), source.size());
    Palette a = got, b = source;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(a, b);
    // Depth-first order: the top bits of red, green, blue choose the branch.
    EXPECT_EQ(got.front(), rgb(10, 20, 30));
    EXPECT_EQ(got.back(), rgb(255, 255, 255));
}

TEST(ColorQuantizer, FoldingKeepsTheLimitAndAveragesWithIntegers)
{
    {
        TColorQuantizer q(1, 8);
        q.addColor(10, 0, 0);
        q.addColor(11, 0, 0);
        q.addColor(11, 0, 1);
        EXPECT_EQ(q.leafCount(), 1);
        EXPECT_EQ(q.colors(), Palette{rgb(10, 0, 0)});  // (32 / 3, 0, 1 / 3)
    }
    {
        TColorQuantizer q(16, 8);
        for (int i = 0; i < 4096; ++i) {
            q.addColor((i * 37) & 255, (i * 91) & 255, (i * 13) & 255);
            ASSERT_LE(q.leafCount(), 16);
        }
        EXPECT_EQ(q.colors().size(), std::size_t(q.leafCount()));
    }
}

}  // namespace
}  // namespace pelko
