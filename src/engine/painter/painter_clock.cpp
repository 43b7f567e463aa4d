#include "engine/painter/painter_clock.h"

#include <chrono>

namespace pelko {

namespace {

using SteadyMillis = std::chrono::duration<PainterClock::Millis, std::milli>;

}  // namespace

PainterClock::Millis SteadyPainterClock::now()
{
    return std::chrono::duration_cast<SteadyMillis>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool SteadyPainterClock::waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv,
                                   Millis deadline, const std::function<bool()>& woken)
{
    if (deadline == kForever) {
        cv.wait(lock, woken);
        return true;
    }
    const std::chrono::steady_clock::time_point at{
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(SteadyMillis(deadline))};
    return cv.wait_until(lock, at, woken);
}

std::shared_ptr<PainterClock> defaultPainterClock()
{
    static const std::shared_ptr<PainterClock> clock = std::make_shared<SteadyPainterClock>();
    return clock;
}

}  // namespace pelko
