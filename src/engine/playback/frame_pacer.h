#pragma once
// FramePacer: when the next frame of the playback is due. Frames keep to a
// grid measured from a monotonic clock, so a timer that fires a little late
// makes the next wait shorter and a long animation does not drift. A tick
// that comes a whole frame time or more behind starts the grid afresh from
// its own moment: a slow tick delays the frames after it instead of making
// them rush to catch up.

#include <chrono>

namespace pelko {

class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    // The frame shown now is the first of a new grid.
    void restart(Clock::time_point now) { due_ = now; }

    // The frame due last lasts periodMs: how long from now until the next
    // one is due (0 when it is due already).
    std::chrono::milliseconds next(Clock::time_point now, int periodMs);

    // When the frame shown last was due.
    Clock::time_point due() const { return due_; }

private:
    Clock::time_point due_{};
};

}  // namespace pelko
