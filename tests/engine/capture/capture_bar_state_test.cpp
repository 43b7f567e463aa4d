// The capture bar's rules, driven click by click and tick by tick.

#include <gtest/gtest.h>

#include "engine/capture/capture_bar_state.h"

namespace pelko {
namespace {

// Does what the bar does: a Grab step grabs (always successfully here).
int act(CaptureBarState& s, CaptureBarState::Step step)
{
    if (step != CaptureBarState::Step::Grab)
        return 0;
    s.grabbed();
    return 1;
}

TEST(CaptureBarState, ShownWithNothingGrabbed)
{
    CaptureBarState s;
    s.show(true, 10, CaptureFormat::AnimatedGif);
    EXPECT_EQ(s.counterText(), " 0 frame");
    EXPECT_EQ(s.caption(), "Capture");
    EXPECT_TRUE(s.captureEnabled());
    EXPECT_FALSE(s.finishEnabled());
    EXPECT_TRUE(s.pauseVisible());
    EXPECT_FALSE(s.pauseEnabled());
    EXPECT_FALSE(s.timerRunning());
    EXPECT_STREQ(s.finishHint(), "Finish capture, create GIF and exit");
    s.show(false, 10, CaptureFormat::Avi);
    EXPECT_FALSE(s.pauseVisible());
    EXPECT_STREQ(s.finishHint(), "Finish capture, create AVI and exit");
    // ticks without a run grab nothing
    EXPECT_EQ(act(s, s.tick()), 0);
}

TEST(CaptureBarState, ManualModeGrabsOnePerClickAndNeverTimes)
{
    CaptureBarState s;
    s.show(false, 1, CaptureFormat::Avi);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(act(s, s.captureClicked()), 1);
        EXPECT_TRUE(s.captureEnabled());
        EXPECT_FALSE(s.timerRunning());
        EXPECT_TRUE(s.finishEnabled());
    }
    EXPECT_EQ(s.count(), 3);  // M does not limit manual grabs
    EXPECT_EQ(s.counterText(), " 3 frames");
    EXPECT_EQ(s.caption(), "Capture");
}

TEST(CaptureBarState, AutomaticRunOfTenStopsOnTheEleventhTick)
{
    CaptureBarState s;
    s.show(true, 10, CaptureFormat::Avi);
    EXPECT_EQ(act(s, s.captureClicked()), 1);
    EXPECT_EQ(s.caption(), "Capture: start");
    EXPECT_FALSE(s.captureEnabled());
    EXPECT_TRUE(s.pauseEnabled());
    EXPECT_TRUE(s.timerRunning());
    for (int tick = 1; tick <= 9; ++tick) EXPECT_EQ(act(s, s.tick()), 1) << tick;
    EXPECT_EQ(s.count(), 10);
    EXPECT_TRUE(s.timerRunning());
    EXPECT_EQ(act(s, s.tick()), 0);  // the eleventh tick stops without grabbing
    EXPECT_FALSE(s.timerRunning());
    EXPECT_EQ(s.caption(), "Capture: finish");
    EXPECT_TRUE(s.captureEnabled());
    EXPECT_FALSE(s.pauseEnabled());
    // the count stays: a later click grabs one and the next tick stops again
    EXPECT_EQ(act(s, s.captureClicked()), 1);
    EXPECT_EQ(act(s, s.tick()), 0);
    EXPECT_EQ(s.count(), 11);
    EXPECT_FALSE(s.timerRunning());
}

TEST(CaptureBarState, AutomaticWithOneFrameStopsOnTheFirstTick)
{
    CaptureBarState s;
    s.show(true, 1, CaptureFormat::Avi);
    EXPECT_EQ(act(s, s.captureClicked()), 1);
    EXPECT_EQ(act(s, s.tick()), 0);
    EXPECT_EQ(s.caption(), "Capture: finish");
    EXPECT_EQ(s.count(), 1);
}

TEST(CaptureBarState, PauseKeepsTheCountAndCaptureResumes)
{
    CaptureBarState s;
    s.show(true, 4, CaptureFormat::Avi);
    act(s, s.captureClicked());
    act(s, s.tick());
    s.pauseClicked();
    EXPECT_FALSE(s.timerRunning());
    EXPECT_TRUE(s.captureEnabled());
    EXPECT_FALSE(s.pauseEnabled());
    EXPECT_EQ(act(s, s.tick()), 0);
    EXPECT_EQ(act(s, s.captureClicked()), 1);  // at once, and the timer again
    EXPECT_TRUE(s.timerRunning());
    EXPECT_EQ(act(s, s.tick()), 1);
    EXPECT_EQ(act(s, s.tick()), 0);  // 4 reached across the pause
    EXPECT_EQ(s.count(), 4);
}

TEST(CaptureBarState, FailedGrabStopsTheRunAndCountsNothing)
{
    CaptureBarState s;
    s.show(true, 10, CaptureFormat::Avi);
    ASSERT_EQ(s.captureClicked(), CaptureBarState::Step::Grab);
    s.grabFailed();
    EXPECT_EQ(s.count(), 0);
    EXPECT_FALSE(s.finishEnabled());
    EXPECT_FALSE(s.timerRunning());
    EXPECT_TRUE(s.captureEnabled());
}

TEST(CaptureBarState, ShowingAgainStartsOver)
{
    CaptureBarState s;
    s.show(true, 2, CaptureFormat::Avi);
    act(s, s.captureClicked());
    s.stop();
    EXPECT_FALSE(s.timerRunning());
    s.show(true, 2, CaptureFormat::Avi);
    EXPECT_EQ(s.count(), 0);
    EXPECT_EQ(s.caption(), "Capture");
    EXPECT_FALSE(s.finishEnabled());
}

}  // namespace
}  // namespace pelko
