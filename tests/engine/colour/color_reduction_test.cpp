#include <gtest/gtest.h>

#include "engine/colour/color_reduction.h"

#include <set>

namespace pelko {
namespace {

Bitmap makeBitmap(int w, int h, Color (*colour)(int, int))
{
    Bitmap b(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Color c = colour(x, y);
            std::uint8_t* p = b.scanline(y) + x * 3;
            p[0] = blueOf(c);
            p[1] = greenOf(c);
            p[2] = redOf(c);
        }
    return b;
}

Color gradient(int x, int y)
{
    return rgb(std::uint8_t(x * 8), std::uint8_t(y * 8), std::uint8_t((x + y) * 4));
}

Color fiveColours(int x, int y)
{
    static const Color c[] = {rgb(10, 20, 30), rgb(200, 0, 0), rgb(0, 255, 0), rgb(18, 20, 30),
                              rgb(255, 255, 255)};
    return c[(x * 3 + y) % 5];
}

TEST(ReduceColors, PalettesAndIndexRangesOfEachMode)
{
    Bitmap src = makeBitmap(32, 32, gradient);
    struct Case {
        TColorReduction mode;
        int bits;
        int colors;
        Color entry0;
    } cases[] = {
        {rmWindows20, 8, 20, rgb(0, 0, 0)},
        {rmWindows256, 8, 256, rgb(0, 0, 0)},
        {rmWindowsGray, 8, 4, rgb(0, 0, 0)},
        {rmMonochrome, 8, 2, rgb(0, 0, 0)},
        {rmGrayScale, 3, 256, rgb(0, 0, 0)},  // bits ignored
        {rmNetscape, 8, 216, rgb(0, 0, 0)},
        {rmQuantize, 3, 8, 0},
        {rmQuantize, 8, 256, 0},
        {rmQuantizeWindows, 8, 256, rgb(0, 0, 0)},
    };
    for (const Case& c : cases) {
        for (TDitherMode d : {dmNearest, dmFloydSteinberg, dmSteveArche}) {
            Bitmap out = ReduceColors(src, c.mode, d, c.bits);
            ASSERT_EQ(out.pixelFormat(), pf8bit) << c.mode;
            ASSERT_EQ(out.width(), 32);
            ASSERT_EQ(out.palette().size(), 256u);
            int maxIndex = 0;
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x) maxIndex = std::max(maxIndex, out.index(x, y));
            EXPECT_LT(maxIndex, c.colors) << c.mode << " " << d;
            for (std::size_t i = std::size_t(c.colors); i < 256; ++i)
                ASSERT_EQ(out.palette()[i], 0u) << c.mode;
            if (c.mode != rmQuantize)
                EXPECT_EQ(out.palette()[0], c.entry0);
        }
    }
    Bitmap grey = ReduceColors(src, rmGrayScale, dmNearest, 3);
    EXPECT_EQ(grey.palette()[200], rgb(200, 200, 200));
}

TEST(ReduceColors, QuantizingFewColoursKeepsThemExactly)
{
    Bitmap src = makeBitmap(9, 7, fiveColours);
    for (TDitherMode d : {dmNearest, dmFloydSteinberg, dmStucki, dmBurkes}) {
        Bitmap out = ReduceColors(src, rmQuantize, d, 8);
        EXPECT_EQ(out.toPicture(), src.toPicture()) << d;
        std::set<int> used;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x) used.insert(out.index(x, y));
        EXPECT_EQ(used.size(), 5u);
    }
}

TEST(ReduceColors, NoneEmptyAndUnknown)
{
    Bitmap src = makeBitmap(4, 3, gradient);
    Bitmap none = ReduceColors(src.converted(pf32bit), rmNone, dmFloydSteinberg, 8);
    EXPECT_EQ(none.pixelFormat(), pf24bit);
    EXPECT_EQ(none.toPicture(), src.toPicture());

    Palette empty;
    EXPECT_TRUE(ReduceColors(src, rmPalette, dmNearest, 8, &empty).empty());
    EXPECT_TRUE(ReduceColors(src, rmPalette, dmNearest, 8, nullptr).empty());
    EXPECT_TRUE(ReduceColors(src, TColorReduction(42), dmNearest, 8).empty());

    Palette two = {rgb(255, 0, 0), rgb(0, 0, 255)};
    Bitmap out = ReduceColors(src, rmPalette, dmNearest, 8, &two);
    EXPECT_EQ(out.palette()[1], rgb(0, 0, 255));
    EXPECT_EQ(out.palette()[2], 0u);
}

TEST(ReduceColors, IndexedSourcesAreReadAsTrueColour)
{
    Bitmap src(3, 2, pf4bit);
    src.setPalette({rgb(1, 2, 3), rgb(255, 0, 0), rgb(0, 0, 250)});
    src.setIndex(0, 0, 1);
    src.setIndex(2, 1, 2);
    Bitmap out = ReduceColors(src, rmQuantize, dmFloydSteinberg, 8);
    EXPECT_EQ(out.toPicture(), src.toPicture());
}

TEST(ReduceColors, OptimizedPaletteFromManyBitmaps)
{
    EXPECT_THROW(CreateOptimizedPaletteFromManyBitmaps({}, 256, 8, false), std::exception);
    try {
        CreateOptimizedPaletteFromManyBitmaps({}, 256, 8, true);
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "Invalid bitmap list");
    }

    Bitmap a = makeBitmap(4, 4, [](int, int) { return rgb(250, 10, 10); });
    Bitmap b = makeBitmap(4, 4, [](int x, int) { return x ? rgb(10, 250, 10) : rgb(250, 10, 10); });
    Palette plain = CreateOptimizedPaletteFromManyBitmaps({&a, &b}, 16, 8, false);
    ASSERT_EQ(plain.size(), 16u);
    EXPECT_EQ(std::set<Color>(plain.begin(), plain.begin() + 2),
              (std::set<Color>{rgb(250, 10, 10), rgb(10, 250, 10)}));
    EXPECT_EQ(plain[2], 0u);

    Palette sys = CreateOptimizedPaletteFromManyBitmaps({&a, &b}, 256, 8, true);
    ASSERT_EQ(sys.size(), 256u);
    const Palette& s20 = systemPalette20();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(sys[std::size_t(i)], s20[std::size_t(i)]);
        EXPECT_EQ(sys[std::size_t(246 + i)], s20[std::size_t(10 + i)]);
    }
    EXPECT_EQ(std::set<Color>(sys.begin() + 10, sys.begin() + 12),
              (std::set<Color>{rgb(250, 10, 10), rgb(10, 250, 10)}));
    EXPECT_EQ(sys[12], 0u);
    EXPECT_EQ(sys[245], 0u);
}

TEST(Palettes, FixedTables)
{
    Palette web = WebPalette();
    ASSERT_EQ(web.size(), 216u);
    EXPECT_EQ(web[36 * 5 + 6 * 1 + 2], rgb(255, 51, 102));
    const Palette& half = halftonePalette256();
    ASSERT_EQ(half.size(), 256u);
    EXPECT_EQ(std::set<Color>(half.begin(), half.end()).size(),
              256u - 8u);  // the cube repeats 8 system colours
    EXPECT_EQ(systemPalette20().size(), 20u);
}

}  // namespace
}  // namespace pelko
