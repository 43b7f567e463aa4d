#pragma once
// A PainterClock whose time moves only when a test moves it, so painter
// tests never sleep. Manual: advance() moves time and wakes the painters
// whose deadline has come; waitForSleepers() blocks until painters wait.
// Automatic: a wait for a deadline moves time straight to it, so an
// animation plays through at once with exact times.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "engine/painter/painter_clock.h"

namespace pelko::test {

class FakePainterClock : public PainterClock {
public:
    explicit FakePainterClock(bool automatic = false) : automatic_(automatic) {}

    // Takes no lock: painters read it holding their own mutex.
    Millis now() override { return now_.load(); }

    bool waitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, Millis deadline,
                   const std::function<bool()>& woken) override
    {
        if (woken())
            return true;
        if (automatic_ && deadline != kForever) {
            std::lock_guard<std::mutex> guard(m_);
            now_ = std::max(now_.load(), deadline);
            return woken();
        }
        Sleeper self{lock.mutex(), &cv, deadline, 0};
        // The painter's mutex is never held while this clock's is taken:
        // advance() takes them in the other order.
        lock.unlock();
        {
            std::lock_guard<std::mutex> guard(m_);
            self.sequence = ++sleeps_;
            sleepers_.push_back(&self);
            changed_.notify_all();
        }
        lock.lock();
        cv.wait(lock, [&] { return woken() || now() >= deadline; });
        lock.unlock();
        {
            std::lock_guard<std::mutex> guard(m_);
            sleepers_.erase(std::find(sleepers_.begin(), sleepers_.end(), &self));
            changed_.notify_all();
        }
        lock.lock();
        return woken();
    }

    // Moves time on and wakes every sleeper (each checks its own deadline).
    void advance(Millis ms)
    {
        std::lock_guard<std::mutex> guard(m_);
        now_ += ms;
        for (Sleeper* s : sleepers_) {
            {
                std::lock_guard<std::mutex> painter(*s->mutex);
            }
            s->cv->notify_all();
        }
        changed_.notify_all();
    }

    // The number of waits begun so far.
    std::size_t sleeps()
    {
        std::lock_guard<std::mutex> guard(m_);
        return sleeps_;
    }

    // Blocks until exactly n painters sleep towards a deadline still ahead
    // (or none), each in a wait begun after the first `after` waits: after
    // waking a painter, pass sleeps() from before, so that the wait it was
    // woken from does not count. False after a few seconds of real time (a
    // test failure).
    bool waitForSleepers(std::size_t n, std::size_t after = 0)
    {
        std::unique_lock<std::mutex> lock(m_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] {
            return sleepers_.size() == n &&
                   std::all_of(sleepers_.begin(), sleepers_.end(),
                               [&](const Sleeper* s) { return s->deadline > now_ && s->sequence > after; });
        });
    }

    // The earliest deadline of the sleepers, kForever when none has one.
    Millis nextDeadline()
    {
        std::lock_guard<std::mutex> guard(m_);
        Millis next = kForever;
        for (const Sleeper* s : sleepers_) next = std::min(next, s->deadline);
        return next;
    }

private:
    struct Sleeper {
        std::mutex* mutex;
        std::condition_variable* cv;
        Millis deadline;
        std::size_t sequence;
    };

    const bool automatic_;
    std::mutex m_;
    std::condition_variable changed_;
    std::atomic<Millis> now_{1000};
    std::vector<Sleeper*> sleepers_;
    std::size_t sleeps_ = 0;
};

}  // namespace pelko::test
