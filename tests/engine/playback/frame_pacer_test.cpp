#include "engine/playback/frame_pacer.h"

#include <gtest/gtest.h>

namespace pelko {
namespace {

using namespace std::chrono_literals;
using Clock = FramePacer::Clock;

TEST(FramePacer, LateTimersShortenTheNextWaitSoAMinuteOfFramesDoesNotDrift)
{
    FramePacer pacer;
    const Clock::time_point start{};
    pacer.restart(start);
    Clock::time_point now = start;
    // 1500 frames of 40 ms, each timer firing 3 ms after it was asked to
    for (int i = 0; i < 1500; ++i) {
        const auto wait = pacer.next(now, 40);
        now += wait + 3ms;
    }
    EXPECT_EQ(pacer.due(), start + 60s);
    EXPECT_EQ(now, start + 60s + 3ms);
}

TEST(FramePacer, WaitsAreRoundedUpToWholeMilliseconds)
{
    FramePacer pacer;
    const Clock::time_point start{};
    pacer.restart(start);
    EXPECT_EQ(pacer.next(start, 40), 40ms);
    EXPECT_EQ(pacer.next(start + 40ms + 300us, 40), 40ms);  // 39.7 ms up to 40
    EXPECT_EQ(pacer.next(start + 80ms, 0), 0ms);
}

TEST(FramePacer, ATickAWholeFrameLateStartsAfreshInsteadOfRushing)
{
    FramePacer pacer;
    const Clock::time_point start{};
    pacer.restart(start);
    pacer.next(start, 40);                           // due at 40
    EXPECT_EQ(pacer.next(start + 70ms, 40), 10ms);   // 30 late: the grid holds (due at 80)
    EXPECT_EQ(pacer.next(start + 200ms, 40), 40ms);  // 120 late: from 200 on
    EXPECT_EQ(pacer.due(), start + 240ms);
    EXPECT_EQ(pacer.next(start + 240ms, 100), 100ms);  // periods may change frame by frame
}

}  // namespace
}  // namespace pelko
