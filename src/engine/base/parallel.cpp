#include "engine/base/parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace pelko {

int workerCount(int requested)
{
    if (requested > 0)
        return requested;
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

void parallelFor(int count, int jobs, const std::function<void(int)>& fn)
{
    jobs = std::min(jobs, count);
    if (jobs <= 1) {
        for (int i = 0; i < count; ++i) fn(i);
        return;
    }
    std::atomic<int> next{0};
    std::atomic<int> firstFailed{count};
    std::mutex errorMutex;
    std::exception_ptr error;
    auto work = [&] {
        for (int i = next++; i < count && i < firstFailed.load(); i = next++) {
            try {
                fn(i);
            } catch (...) {
                std::lock_guard lock(errorMutex);
                if (i < firstFailed.load()) {
                    firstFailed = i;
                    error = std::current_exception();
                }
            }
        }
    };
    std::vector<std::thread> pool;
    pool.reserve(std::size_t(jobs - 1));
    for (int t = 1; t < jobs; ++t) {
        try {
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // no more threads to be had: fewer do the same work
        }
    }
    work();
    for (std::thread& t : pool) t.join();
    if (error)
        std::rethrow_exception(error);
}

}  // namespace pelko
