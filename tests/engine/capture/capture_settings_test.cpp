// The sums between the settings dialog's reduced screen and screen pixels.

#include <gtest/gtest.h>

#include "engine/capture/capture_settings.h"

namespace pelko {
namespace {

struct ScreenCase {
    int screenWidth, screenHeight;
    Rect preview;  // stored area
    Rect screen;   // as the spin edits show it
    int maxX, maxY;
};

TEST(CaptureSettings, StoredAreaShowsInScreenPixelsTruncated)
{
    const ScreenCase cases[] = {
        {1024, 768, {20, 20, 100, 100}, {40, 40, 202, 201}, 1024, 768},
        {1920, 1080, {20, 20, 100, 100}, {75, 56, 379, 283}, 1920, 1080},
        {506, 381, {0, 0, 506, 381}, {0, 0, 506, 381}, 506, 381},
        {3840, 2160, {505, 380, 1, 1}, {3832, 2154, 7, 5}, 3840, 2160},
    };
    for (const ScreenCase& c : cases) {
        const CaptureScale s = captureScale(c.screenWidth, c.screenHeight, 506, 381);
        const Rect r = toScreen(c.preview, s);
        EXPECT_EQ(r.left, c.screen.left) << c.screenWidth;
        EXPECT_EQ(r.top, c.screen.top) << c.screenWidth;
        EXPECT_EQ(r.width, c.screen.width) << c.screenWidth;
        EXPECT_EQ(r.height, c.screen.height) << c.screenWidth;
        const CaptureLimits limits = captureLimits(506, 381, s);
        EXPECT_EQ(limits.maxX, c.maxX);
        EXPECT_EQ(limits.maxY, c.maxY);
    }
}

TEST(CaptureSettings, OkWithoutChangesKeepsTheStoredArea)
{
    // 40 / 2.0237 = 19.77 would truncate to 19 and the area would creep up
    // and shrink with every OK; the stored value is the largest that shows
    // no more than the spin edit's.
    for (const auto& [w, h] : {std::pair{1024, 768}, {1920, 1080}, {1366, 768}, {800, 600}, {3840, 2160}}) {
        const CaptureScale s = captureScale(w, h, 506, 381);
        for (int v = 0; v <= 381; ++v) {
            EXPECT_EQ(toPreview(toScreen(v, s.sx), s.sx), v) << w << " " << v;
            EXPECT_EQ(toPreview(toScreen(v, s.sy), s.sy), v) << h << " " << v;
        }
        // a typed value between two shown ones comes back as the lower one
        for (int typed = 0; typed <= w; typed += 7) EXPECT_LE(toScreen(toPreview(typed, s.sx), s.sx), typed);
    }
    const CaptureScale s = captureScale(1024, 768, 506, 381);
    // the whole screen stays the whole preview
    const Rect all = toPreview(Rect{0, 0, 1024, 768}, s);
    EXPECT_EQ(all.width, 506);
    EXPECT_EQ(all.height, 381);
}

TEST(CaptureSettings, ClampedToTheDialogsRanges)
{
    CaptureSettings s;
    s.periodMs = 10;
    s.maxFrames = 1000;
    s.durationMs = 0;
    s.area = {-5, -1, 0, -3};
    const CaptureSettings c = clampedCaptureSettings(s);
    EXPECT_EQ(c.periodMs, kMinPeriodMs);
    EXPECT_EQ(c.maxFrames, kMaxMaxFrames);
    EXPECT_EQ(c.durationMs, kMinDurationMs);
    EXPECT_EQ(c.area.left, 0);
    EXPECT_EQ(c.area.top, 0);
    EXPECT_EQ(c.area.width, 1);
    EXPECT_EQ(c.area.height, 1);
}

}  // namespace
}  // namespace pelko
