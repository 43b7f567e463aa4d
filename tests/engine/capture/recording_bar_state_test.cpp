// The capture bar's rules in "Record" mode, fed clicks and statuses.

#include <gtest/gtest.h>

#include "engine/capture/recording_bar_state.h"

namespace pelko {
namespace {

RecordingStatus running(std::int64_t ms, int frames, int missed, bool paused = false)
{
    RecordingStatus s;
    s.running = true;
    s.elapsedMs = ms;
    s.frames = frames;
    s.missed = missed;
    s.paused = paused;
    return s;
}

TEST(RecordingBarState, StartPauseResumeAndFinish)
{
    RecordingBarState bar;
    bar.show(CaptureFormat::AnimatedGif);
    EXPECT_EQ(bar.caption(), "Capture");
    EXPECT_EQ(bar.counterText(), " 0:00.0, 0 frames, 0 missed");
    EXPECT_TRUE(bar.captureEnabled());
    EXPECT_FALSE(bar.pauseEnabled());
    EXPECT_FALSE(bar.finishEnabled());
    EXPECT_EQ(bar.pauseClicked(), RecordingBarState::Step::Nothing);
    EXPECT_STREQ(bar.finishHint(), "Finish capture, create GIF and exit");

    EXPECT_EQ(bar.captureClicked(), RecordingBarState::Step::Start);
    EXPECT_EQ(bar.captureClicked(), RecordingBarState::Step::Nothing);  // once
    EXPECT_EQ(bar.caption(), "Capture: recording");
    EXPECT_FALSE(bar.finishEnabled());  // nothing grabbed yet
    bar.update(running(65432, 1, 0));
    EXPECT_EQ(bar.counterText(), " 1:05.4, 1 frame, 0 missed");
    EXPECT_TRUE(bar.finishEnabled());

    EXPECT_EQ(bar.pauseClicked(), RecordingBarState::Step::Pause);
    EXPECT_EQ(bar.caption(), "Capture: paused");
    EXPECT_STREQ(bar.pauseHint(), "Resume");
    bar.update(running(66000, 40, 3, true));
    EXPECT_EQ(bar.pauseClicked(), RecordingBarState::Step::Resume);
    EXPECT_STREQ(bar.pauseHint(), "Pause");
    EXPECT_EQ(bar.caption(), "Capture: recording");

    bar.finished();
    EXPECT_EQ(bar.caption(), "Capture: finish");
    EXPECT_FALSE(bar.pauseEnabled());
    EXPECT_FALSE(bar.captureEnabled());
    EXPECT_TRUE(bar.finishEnabled());
    bar.show(CaptureFormat::Avi);  // the next capture starts over
    EXPECT_TRUE(bar.captureEnabled());
    EXPECT_EQ(bar.caption(), "Capture");
}

TEST(RecordingBarState, RecordingEndedByItselfLeavesOnlyFinish)
{
    RecordingBarState bar;
    bar.show(CaptureFormat::Avi);
    bar.captureClicked();
    RecordingStatus ended = running(3000, 90, 0);
    ended.running = false;
    ended.error = "The shared screen's stream has ended.";
    bar.update(ended);
    EXPECT_TRUE(bar.ended());
    EXPECT_EQ(bar.caption(), "Capture: finish");
    EXPECT_FALSE(bar.pauseEnabled());
    EXPECT_FALSE(bar.captureEnabled());
    EXPECT_TRUE(bar.finishEnabled());
    EXPECT_EQ(bar.counterText(), " 0:03.0, 90 frames, 0 missed");
}

}  // namespace
}  // namespace pelko
