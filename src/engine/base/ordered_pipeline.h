#pragma once
// Work on a list of items on several threads, handed on in list order:
// produce(i) runs on a pool of up to `jobs` worker threads (workerCount in
// parallel.h), consume(i, result) on the calling thread for i = 0, 1, 2, ...
// At most `window` results wait for the consumer, so memory stays bounded
// whatever the length of the list.
//
// An error of produce(i) is raised when the consumer reaches item i, as a
// loop on one thread would raise it; the pool is stopped and joined first.
// consume may throw, or return false to stop early (cancel); runInOrder
// then returns false once the workers have stopped.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace pelko {

template <class T, class Produce, class Consume>
bool runInOrder(int count, int jobs, Produce produce, Consume consume)
{
    jobs = std::min(jobs, count);
    if (jobs <= 1) {
        for (int i = 0; i < count; ++i) {
            T value = produce(i);
            if (!consume(i, std::move(value)))
                return false;
        }
        return true;
    }
    const int window = 2 * jobs;
    struct Slot {
        std::optional<T> value;
        std::exception_ptr error;
        bool ready = false;
    };
    std::vector<Slot> slots(static_cast<std::size_t>(window));
    std::mutex mutex;
    std::condition_variable changed;
    int next = 0;      // the next item a worker takes
    int consumed = 0;  // items handed to consume
    bool stop = false;

    auto work = [&] {
        for (;;) {
            int i;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stop || next >= count || next < consumed + window; });
                if (stop || next >= count)
                    return;
                i = next++;
            }
            Slot result;
            try {
                result.value.emplace(produce(i));
            } catch (...) {
                result.error = std::current_exception();
            }
            result.ready = true;
            {
                std::lock_guard lock(mutex);
                slots[static_cast<std::size_t>(i % window)] = std::move(result);
            }
            changed.notify_all();
        }
    };

    std::vector<std::thread> pool;
    pool.reserve(static_cast<std::size_t>(jobs));
    auto finish = [&] {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
        for (std::thread& t : pool) t.join();
        pool.clear();
    };
    try {
        for (int t = 0; t < jobs; ++t) pool.emplace_back(work);
        for (int i = 0; i < count; ++i) {
            Slot slot;
            {
                std::unique_lock lock(mutex);
                Slot& s = slots[static_cast<std::size_t>(i % window)];
                changed.wait(lock, [&] { return s.ready; });
                slot = std::move(s);
                s = Slot();
                consumed = i + 1;
            }
            changed.notify_all();
            if (slot.error)
                std::rethrow_exception(slot.error);
            if (!consume(i, std::move(*slot.value))) {
                finish();
                return false;
            }
        }
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return true;
}

}  // namespace pelko
