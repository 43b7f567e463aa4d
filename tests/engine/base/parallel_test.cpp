#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/base/ordered_pipeline.h"
#include "engine/base/parallel.h"

using namespace pelko;

TEST(Parallel, WorkerCountTakesTheRequestOrOnePerCore)
{
    const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
    EXPECT_EQ(workerCount(3), 3);
    EXPECT_EQ(workerCount(1), 1);
    EXPECT_EQ(workerCount(0), cores);
    EXPECT_EQ(workerCount(-2), cores);
}

TEST(Parallel, EveryItemRunsOnceWhateverTheThreadCount)
{
    const struct {
        int count, jobs;
    } cases[] = {{0, 4}, {1, 4}, {5, 1}, {5, 0}, {7, 3}, {3, 8}, {200, 4}};
    for (const auto& c : cases) {
        std::vector<std::atomic<int>> runs(std::size_t(c.count));
        parallelFor(c.count, c.jobs, [&](int i) { ++runs[std::size_t(i)]; });
        for (int i = 0; i < c.count; ++i)
            EXPECT_EQ(runs[std::size_t(i)].load(), 1) << "item " << i << " of " << c.count << ", " << c.jobs;
    }
}

TEST(Parallel, ItemsRunSideBySide)
{
    // Each item waits until all three have started: on one thread they
    // would wait out the time limit.
    std::mutex mutex;
    std::condition_variable started;
    int running = 0;
    std::atomic<int> metTheOthers{0};
    parallelFor(3, 3, [&](int) {
        std::unique_lock lock(mutex);
        ++running;
        started.notify_all();
        if (started.wait_for(lock, std::chrono::seconds(10), [&] { return running == 3; }))
            ++metTheOthers;
    });
    EXPECT_EQ(metTheOthers.load(), 3);
}

TEST(Parallel, TheFirstFailingItemsErrorReachesTheCaller)
{
    // Items 3 and 6 fail, 3 later in time than 6 on several threads; a
    // plain loop meets 3 first, and so must every thread count. No item
    // after a failure has to run, every item before it does.
    for (int jobs : {1, 2, 3, 8})
        for (int round = 0; round < 5; ++round) {
            std::vector<std::atomic<int>> runs(40);
            std::string error;
            try {
                parallelFor(40, jobs, [&](int i) {
                    ++runs[std::size_t(i)];
                    if (i == 3)
                        std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    if (i == 3 || i == 6)
                        throw std::runtime_error("item " + std::to_string(i));
                });
            } catch (const std::runtime_error& e) {
                error = e.what();
            }
            ASSERT_EQ(error, "item 3") << jobs << " threads";
            for (int i = 0; i < 3; ++i) EXPECT_EQ(runs[std::size_t(i)].load(), 1) << i;
        }
}

TEST(OrderedPipeline, MoreThreadsThanItemsHandsEveryItemOnInOrder)
{
    for (int jobs : {1, 2, 16}) {
        std::vector<int> seen;
        EXPECT_TRUE(runInOrder<int>(
            3, jobs, [](int i) { return i * 10; },
            [&](int i, int v) {
                seen.push_back(v + i);
                return true;
            }));
        EXPECT_EQ(seen, (std::vector<int>{0, 11, 22})) << jobs << " threads";
    }
}
