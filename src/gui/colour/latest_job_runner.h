#pragma once
// LatestJobRunner: runs jobs one at a time on a thread of its own, keeping
// only the newest job that has not started. A job posted while another runs
// replaces the one waiting, so a burst of requests costs at most the job
// running and the last one. The owner tells stale results from fresh ones
// (a job carries the number of its request); the runner only orders the
// work.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace pelko {

class LatestJobRunner {
public:
    LatestJobRunner() = default;
    LatestJobRunner(const LatestJobRunner&) = delete;
    LatestJobRunner& operator=(const LatestJobRunner&) = delete;
    // Drops the waiting job and waits for the running one.
    ~LatestJobRunner();

    // Any thread. The thread starts with the first job.
    void post(std::function<void()> job);
    // No job running or waiting.
    bool idle() const;

private:
    void run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::function<void()> waiting_;
    bool running_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace pelko
