#include "engine/playback/frame_pacer.h"

#include <algorithm>

namespace pelko {

std::chrono::milliseconds FramePacer::next(Clock::time_point now, int periodMs)
{
    const auto period = std::chrono::milliseconds(std::max(periodMs, 0));
    if (now - due_ >= period)
        due_ = now;  // a frame or more behind
    due_ += period;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(due_ - now);
    return std::max(left, std::chrono::milliseconds(0));
}

}  // namespace pelko
