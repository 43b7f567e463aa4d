#include <gtest/gtest.h>

#include "engine/project/composition.h"

using namespace pelko;

namespace {

ProjectSettings canvas(int w, int h, bool stretch = false)
{
    ProjectSettings s;
    s.Width = w;
    s.Height = h;
    s.Stretch = stretch;
    return s;
}

Picture solid(int w, int h, Color c)
{
    Picture p(w, h);
    p.fill(c);
    return p;
}

}  // namespace

TEST(Placement, EachValueIsCheckedOnItsOwn)
{
    struct Case {
        Rect source;
        Rect expected;
    } cases[] = {
        {{0, 0, 100, 50}, {0, 0, 100, 50}},
        {{50, 0, 100, 50}, {50, 0, 100, 50}},  // may reach past the right edge
        {{120, 10, 30, 30}, {0, 10, 30, 30}},  // left not less than the width
        {{10, 100, 30, 30}, {10, 0, 30, 30}},  // top not less than the height
        {{0, 0, 500, 400}, {0, 0, 120, 100}},  // sizes limited to the canvas
        {{119, 99, 1, 1}, {119, 99, 1, 1}},
    };
    for (const Case& c : cases) {
        FrameRecord f;
        placeNewFrame(f, c.source, canvas(120, 100));
        EXPECT_EQ(f.Left, c.expected.left);
        EXPECT_EQ(f.Top, c.expected.top);
        EXPECT_EQ(f.Width, c.expected.width);
        EXPECT_EQ(f.Height, c.expected.height);
        EXPECT_FALSE(f.Stretch);
    }
    FrameRecord f;
    placeNewFrame(f, {30, 40, 10, 10}, canvas(120, 100, true));
    EXPECT_TRUE(f.Stretch);
    EXPECT_EQ(f.Left, 0);
    EXPECT_EQ(f.Top, 0);
    EXPECT_EQ(f.Width, 120);
    EXPECT_EQ(f.Height, 100);
}

TEST(Compose, StretchedFrameHasTheCanvasSizeWhateverItsOwnSize)
{
    FrameRecord f;
    f.Stretch = true;
    f.Width = 10;
    f.Height = 10;
    const ProjectSettings s = canvas(160, 90);
    const Picture image =
        composeFrameImage(solid(400, 300, 0x112233), f.Width, f.Height, f.Stretch, s.Width, s.Height);
    EXPECT_EQ(image.width(), 160);
    EXPECT_EQ(image.height(), 90);
    EXPECT_EQ(image.pixel(80, 45), 0x112233u);
    EXPECT_EQ(frameImageSize(f, s).width, 160);
    EXPECT_EQ(frameImageSize(f, s).height, 90);
}

TEST(Compose, UnstretchedFrameIsCutOrPaddedWhite)
{
    const Picture src = solid(40, 30, 0x0000FF);
    const Picture big = composeFrameImage(src, 60, 50, false, 200, 200);
    EXPECT_EQ(big.pixel(39, 29), 0x0000FFu);
    EXPECT_EQ(big.pixel(40, 29), 0xFFFFFFu);
    EXPECT_EQ(big.pixel(39, 30), 0xFFFFFFu);
    const Picture cut = composeFrameImage(src, 20, 10, false, 200, 200);
    EXPECT_EQ(cut.width(), 20);
    EXPECT_EQ(cut.height(), 10);
    EXPECT_EQ(cut.pixel(19, 9), 0x0000FFu);
    // sizes from a damaged project file never reach the allocator
    EXPECT_EQ(composeFrameImage(src, -5, 10, false, 200, 200).width(), 0);
    EXPECT_THROW(composeFrameImage(src, 70000, 70000, false, 200, 200), std::length_error);
}

TEST(Canvas, FramePastTheRightEdgeShowsOnlyWhatFits)
{
    FrameRecord f;
    f.Left = 50;
    f.Width = 100;
    f.Height = 10;
    Picture image = solid(100, 10, 0x00FF00);
    image.setPixel(69, 0, 0x0000FF);
    Picture c = solid(120, 20, 0xFFFFFF);
    drawFrameOnCanvas(c, f, image);
    EXPECT_EQ(c.pixel(49, 0), 0xFFFFFFu);
    EXPECT_EQ(c.pixel(50, 0), 0x00FF00u);
    EXPECT_EQ(c.pixel(119, 0), 0x0000FFu);  // the frame's column 69, its last visible one
    EXPECT_EQ(c.pixel(50, 10), 0xFFFFFFu);
}

TEST(Preview, PictureHasTheFramesOwnSize)
{
    FrameRecord f;
    f.Width = 30;
    f.Height = 20;
    f.Stretch = true;
    const Picture image = solid(50, 10, 0x123456);  // a stretched frame's image can differ in size
    const Picture p = previewPicture(f, image);
    EXPECT_EQ(p.width(), 30);
    EXPECT_EQ(p.height(), 20);
    EXPECT_EQ(p.pixel(29, 9), 0x123456u);
    EXPECT_EQ(p.pixel(29, 10), 0xFFFFFFu);
    EXPECT_EQ(makeThumbnail(solid(10, 10, 0)).width(), kThumbnailWidth);

    f.Width = f.Height = 100000;  // no picture holds that: the image alone
    EXPECT_EQ(previewPicture(f, image), image);
}
