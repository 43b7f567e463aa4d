// Grabbing with the cursor drawn at its hot spot, through a fake desktop.

#include <gtest/gtest.h>

#include "engine/capture/grab_picture.h"

namespace pelko {
namespace {

// A desktop whose pixel (x, y) is rgb(x, y, 7); the cursor a 3 x 3 block,
// opaque blue with a clear centre, hot spot at its centre.
class FakeDesktop : public ScreenGrabber {
public:
    int mouseX = 0, mouseY = 0;
    bool hasCursor = true;

    DesktopSize desktopSize() override { return {200, 100}; }
    Picture grab(int left, int top, int width, int height) override
    {
        Picture p(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                p.setPixel(x, y, rgb(std::uint8_t(left + x), std::uint8_t(top + y), 7));
        return p;
    }
    std::optional<CursorImage> cursor() override
    {
        if (!hasCursor)
            return std::nullopt;
        CursorImage c;
        c.picture = Picture(3, 3);
        c.picture.fill(rgb(0, 0, 255));
        c.alpha.assign(9, 255);
        c.alpha[4] = 0;
        c.hotX = 1;
        c.hotY = 1;
        c.x = mouseX;
        c.y = mouseY;
        return c;
    }
};

constexpr Color kBlue = rgb(0, 0, 255);

Color desktopAt(int x, int y)
{
    return rgb(std::uint8_t(x), std::uint8_t(y), 7);
}

TEST(GrabPicture, CursorHotSpotLandsOnTheMousePosition)
{
    FakeDesktop desktop;
    desktop.mouseX = 50;
    desktop.mouseY = 30;
    const Picture p = grabCapturePicture(desktop, {40, 20, 30, 20}, true);
    ASSERT_EQ(p.width(), 30);
    ASSERT_EQ(p.height(), 20);
    // the mouse at (10, 10) of the picture: its clear centre shows the desktop
    EXPECT_EQ(p.pixel(10, 10), desktopAt(50, 30));
    EXPECT_EQ(p.pixel(9, 9), kBlue);
    EXPECT_EQ(p.pixel(11, 11), kBlue);
    EXPECT_EQ(p.pixel(12, 10), desktopAt(52, 30));
    EXPECT_EQ(p.pixel(8, 10), desktopAt(48, 30));
}

TEST(GrabPicture, CursorAcrossTheEdgeShowsOnlyItsInsidePart)
{
    FakeDesktop desktop;
    desktop.mouseX = 40;  // on the area's left edge: the cursor's left column is outside
    desktop.mouseY = 20;
    Picture p = grabCapturePicture(desktop, {40, 20, 30, 20}, true);
    EXPECT_EQ(p.pixel(1, 1), kBlue);
    EXPECT_EQ(p.pixel(0, 0), desktopAt(40, 20));  // the clear centre
    EXPECT_EQ(p.pixel(1, 0), kBlue);
    EXPECT_EQ(p.pixel(2, 2), desktopAt(42, 22));

    desktop.mouseX = 300;  // far outside: the picture is the desktop alone
    p = grabCapturePicture(desktop, {40, 20, 30, 20}, true);
    EXPECT_EQ(p, desktop.grab(40, 20, 30, 20));
    desktop.mouseX = 70;  // just past the right edge: its left column shows
    desktop.mouseY = 25;
    p = grabCapturePicture(desktop, {40, 20, 30, 20}, true);
    EXPECT_EQ(p.pixel(29, 5), kBlue);
    EXPECT_EQ(p.pixel(28, 5), desktopAt(68, 25));
}

TEST(GrabPicture, WithoutCursorOrUnknownCursorThePictureIsTheScreen)
{
    FakeDesktop desktop;
    desktop.mouseX = 50;
    desktop.mouseY = 30;
    const Picture plain = desktop.grab(40, 20, 30, 20);
    EXPECT_EQ(grabCapturePicture(desktop, {40, 20, 30, 20}, false), plain);
    desktop.hasCursor = false;
    EXPECT_EQ(grabCapturePicture(desktop, {40, 20, 30, 20}, true), plain);
}

TEST(GrabPicture, HalfOpaqueCursorBlends)
{
    Picture p(1, 1);
    p.fill(rgb(0, 0, 0));
    CursorImage c;
    c.picture = Picture(1, 1);
    c.picture.fill(rgb(255, 255, 255));
    c.alpha = {128};
    drawCursor(p, c, {0, 0});
    EXPECT_EQ(p.pixel(0, 0), rgb(128, 128, 128));
    // an image whose opacity is missing is not drawn (nor read past)
    c.alpha.clear();
    p.fill(rgb(0, 0, 0));
    drawCursor(p, c, {0, 0});
    EXPECT_EQ(p.pixel(0, 0), rgb(0, 0, 0));
}

}  // namespace
}  // namespace pelko
