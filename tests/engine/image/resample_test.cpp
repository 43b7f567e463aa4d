#include <gtest/gtest.h>

#include "engine/image/resample.h"

using namespace pelko;

namespace {

Picture uniform(int w, int h, Color c)
{
    Picture p(w, h);
    p.fill(c);
    return p;
}

// Distinct colour per pixel so a misplaced copy shows.
Picture gradient(int w, int h)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y, rgb(std::uint8_t(x * 7), std::uint8_t(y * 5), std::uint8_t(x + y)));
    return p;
}

}  // namespace

TEST(BSpline, WeightsAtScaleOneAndTheirSum)
{
    EXPECT_FLOAT_EQ(bSplineWeight(1.0f), 1.0f / 6.0f);
    EXPECT_FLOAT_EQ(bSplineWeight(0.0f), 2.0f / 3.0f);
    EXPECT_FLOAT_EQ(bSplineWeight(-1.0f), 1.0f / 6.0f);
    EXPECT_FLOAT_EQ(bSplineWeight(-2.0f), 0.0f);
    for (float f : {0.0f, 0.25f, 0.5f, 0.9f})
        EXPECT_NEAR(bSplineWeight(f + 1) + bSplineWeight(f) + bSplineWeight(f - 1) + bSplineWeight(f - 2),
                    1.0f, 1e-5);
}

TEST(Fit, SmallPictureIsCentredUnscaled)
{
    const Picture src = gradient(100, 50);
    const Picture box = fitPicture(src, 168, 108);
    ASSERT_EQ(box.width(), 168);
    ASSERT_EQ(box.height(), 108);
    EXPECT_EQ(box.pixel(34, 29), src.pixel(0, 0));
    EXPECT_EQ(box.pixel(133, 78), src.pixel(99, 49));
    EXPECT_EQ(box.pixel(33, 29), 0xFFFFFFu);
    EXPECT_EQ(box.pixel(134, 78), 0xFFFFFFu);
    EXPECT_EQ(box.pixel(34, 28), 0xFFFFFFu);
    EXPECT_EQ(box.pixel(34, 79), 0xFFFFFFu);
}

TEST(Fit, WidePictureIsReducedAndCentredVertically)
{
    const FitSize s = fittedSize(336, 108, 168, 108);
    EXPECT_EQ(s.width, 168);
    EXPECT_EQ(s.height, 54);
    const Picture box = fitPicture(uniform(336, 108, 0x204080), 168, 108);
    for (int x : {0, 84, 167}) {
        EXPECT_EQ(box.pixel(x, 26), 0xFFFFFFu);
        EXPECT_EQ(box.pixel(x, 27), 0x204080u);
        EXPECT_EQ(box.pixel(x, 80), 0x204080u);
        EXPECT_EQ(box.pixel(x, 81), 0xFFFFFFu);
    }
}

TEST(Fit, PictureAsWideAsTheBoxPassesThroughTheResampling)
{
    // A single bright column on black: at scale 1 each output column mixes its
    // neighbours with 1/6, 2/3, 1/6, 0.
    Picture src = uniform(168, 10, 0x000000);
    for (int y = 0; y < 10; ++y) src.setPixel(50, y, rgb(240, 240, 240));
    const Picture box = fitPicture(src, 168, 108);
    const int y = (108 - 10) / 2;
    EXPECT_EQ(box.pixel(0, y - 1), 0xFFFFFFu);
    EXPECT_EQ(redOf(box.pixel(48, y)), 0);
    EXPECT_EQ(redOf(box.pixel(49, y)), 40);
    EXPECT_EQ(redOf(box.pixel(50, y)), 160);
    EXPECT_EQ(redOf(box.pixel(51, y)), 40);
    EXPECT_EQ(redOf(box.pixel(52, y)), 0);
}

TEST(Resample, UniformPictureStaysUniform)
{
    struct Case {
        int sw, sh, dw, dh;
    } cases[] = {{37, 23, 10, 7}, {5, 300, 3, 17}, {400, 300, 168, 108},
                 {2, 200, 1, 50}, {1, 1, 1, 1},    {3, 3, 2, 2}};
    for (const Case& c : cases) {
        for (Color colour : {0x000000u, 0xFFFFFFu, 0x7F3A01u}) {
            const Picture out = resamplePicture(uniform(c.sw, c.sh, colour), c.dw, c.dh);
            ASSERT_EQ(out.width(), c.dw);
            for (int y = 0; y < c.dh; ++y)
                for (int x = 0; x < c.dw; ++x)
                    ASSERT_EQ(out.pixel(x, y), colour)
                        << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh;
        }
    }
}

TEST(Resample, SourcesUnderFourPixelsStayInside)
{
    // Run under AddressSanitizer: any tap outside the picture is reported.
    const Picture thin = gradient(200, 2);
    const Picture box = fitPicture(thin, 168, 108);
    EXPECT_EQ(box.width(), 168);
    for (auto [w, h] : {std::pair{1, 200}, {3, 5}, {2, 2}, {1000, 1}})
        EXPECT_NO_FATAL_FAILURE(fitPicture(gradient(w, h), 16, 16));
    // A 1000 x 1 picture shrinks to zero rows: the box stays white.
    const Picture flat = fitPicture(uniform(1000, 1, 0), 168, 108);
    EXPECT_EQ(flat.pixel(84, 54), 0xFFFFFFu);
}
