#include "gui/colour/latest_job_runner.h"

namespace pelko {

LatestJobRunner::~LatestJobRunner()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_ = nullptr;
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void LatestJobRunner::post(std::function<void()> job)
{
    {
        std::lock_guard lock(mutex_);
        waiting_ = std::move(job);
        if (!thread_.joinable())
            thread_ = std::thread([this] { run(); });
    }
    wake_.notify_one();
}

bool LatestJobRunner::idle() const
{
    std::lock_guard lock(mutex_);
    return !running_ && !waiting_;
}

void LatestJobRunner::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || waiting_; });
        if (stopping_)
            return;
        std::function<void()> job = std::move(waiting_);
        waiting_ = nullptr;
        running_ = true;
        lock.unlock();
        try {
            job();
        } catch (...) {
            // a job reports its own failures; nothing may end the thread
        }
        lock.lock();
        running_ = false;
    }
}

}  // namespace pelko
