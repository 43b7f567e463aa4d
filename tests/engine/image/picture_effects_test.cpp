#include <gtest/gtest.h>

#include "engine/image/picture_effects.h"

using namespace pelko;

namespace {

Picture numbered(int w, int h)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.setPixel(x, y, rgb(std::uint8_t(x), std::uint8_t(y), 9));
    return p;
}

}  // namespace

TEST(Mirror, PixelMappingOfEachMode)
{
    const Picture src = numbered(5, 3);
    for (int flip = 0; flip < 4; ++flip) {
        const Picture m = mirrorPicture(src, flip, 5, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) {
                const int sx = (flip & 1) ? 4 - x : x;
                const int sy = (flip >= 2) ? 2 - y : y;
                ASSERT_EQ(m.pixel(x, y), src.pixel(sx, sy)) << "flip " << flip << " at " << x << "," << y;
            }
    }
    const Picture one = numbered(1, 1);
    for (int flip = 0; flip < 4; ++flip) EXPECT_EQ(mirrorPicture(one, flip, 1, 1), one);
}

TEST(Mirror, ScalesIntoASmallerRectangleAndKeepsTheRest)
{
    const Picture src = numbered(4, 2);
    const Picture m = mirrorPicture(src, 1, 2, 2);  // 4 columns squeezed into 2, mirrored
    EXPECT_EQ(m.pixel(0, 0), src.pixel(2, 0));
    EXPECT_EQ(m.pixel(1, 0), src.pixel(0, 0));
    EXPECT_EQ(m.pixel(3, 1), src.pixel(3, 1));
    // a rectangle larger than the picture is cut at the picture's edges
    EXPECT_EQ(mirrorPicture(src, 3, 8, 4).width(), 4);
}

TEST(Grey, IntegerWeights)
{
    struct Case {
        Color in;
        std::uint8_t grey;
    } cases[] = {{rgb(255, 255, 255), 255},
                 {rgb(255, 0, 0), 77},
                 {rgb(0, 255, 0), 149},
                 {rgb(0, 0, 255), 29},
                 {rgb(0, 0, 0), 0}};
    for (const Case& c : cases) {
        Picture p(1, 1);
        p.setPixel(0, 0, c.in);
        greyPicture(p);
        EXPECT_EQ(p.pixel(0, 0), rgb(c.grey, c.grey, c.grey));
        Picture again = p;
        greyPicture(again);
        EXPECT_EQ(again, p) << "grey of grey changes nothing";
    }
}

TEST(Invert, TwiceIsIdentity)
{
    Picture p = numbered(7, 3);
    const Picture original = p;
    invertPicture(p);
    EXPECT_EQ(p.pixel(2, 1), rgb(253, 254, 246));
    invertPicture(p);
    EXPECT_EQ(p, original);
}
