#pragma once
// The time an animation painter runs on: the current time in milliseconds,
// and a wait until a deadline that ends early when the painter is woken
// (stop, pause, speed change). Production uses the steady clock; tests give
// the painter a clock of their own so that no test sleeps.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>

namespace pelko {

class PainterClock {
public:
    using Millis = std::int64_t;
    // A deadline that never comes: the wait ends only when woken.
    static constexpr Millis kForever = std::numeric_limits<Millis>::max();

    virtual ~PainterClock() = default;

    // Milliseconds since an arbitrary start; never goes back.
    virtual Millis now() = 0;

    // Blocks on cv (lock held on entry and on return) until woken() is true
    // or now() has reached deadline. woken() is evaluated with the lock
    // held; whoever makes it true notifies cv under the same lock. Returns
    // woken(). Idle waiting costs nothing: no polling.
    virtual bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, Millis deadline,
                           const std::function<bool()>& woken) = 0;
};

// std::chrono::steady_clock.
class SteadyPainterClock : public PainterClock {
public:
    Millis now() override;
    bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, Millis deadline,
                   const std::function<bool()>& woken) override;
};

// The process's steady clock, shared by every painter that is given none.
std::shared_ptr<PainterClock> defaultPainterClock();

}  // namespace pelko
