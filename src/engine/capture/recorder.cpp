#include "engine/capture/recorder.h"

#include <algorithm>

#include "engine/capture/grab_picture.h"

namespace pelko {

namespace {

// Pictures grabbed and not yet kept: half a second at the highest rate.
constexpr std::size_t kMostWaiting = 16;

}  // namespace

Recorder::Recorder(ScreenGrabber& grabber, CapturedPictures& pictures, const Rect& area, bool withCursor,
                   int fps)
    : grabber_(grabber),
      pictures_(pictures),
      area_(area),
      withCursor_(withCursor),
      periodMs_(1000 / std::clamp(fps, kMinRecordFps, kMaxRecordFps))
{
}

Recorder::~Recorder()
{
    stop();
}

void Recorder::start()
{
    std::lock_guard lock(mutex_);
    if (started_)
        return;
    pictures_.clear(true);
    started_ = true;
    origin_ = Clock::now();
    grabThread_ = std::thread([this] { grabLoop(); });
    keepThread_ = std::thread([this] { keepLoop(); });
}

void Recorder::pause()
{
    std::lock_guard lock(mutex_);
    if (!started_ || ended_ || paused_)
        return;
    paused_ = true;
    pausedAt_ = Clock::now();
    wake_.notify_all();
}

void Recorder::resume()
{
    std::lock_guard lock(mutex_);
    if (!paused_)
        return;
    origin_ += Clock::now() - pausedAt_;
    paused_ = false;
    wake_.notify_all();
}

void Recorder::stop()
{
    {
        std::lock_guard lock(mutex_);
        if (!started_ || (stopping_ && !grabThread_.joinable()))
            return;
        if (!ended_) {
            endMs_ = recordedMs(Clock::now());
            ended_ = true;
        }
        stopping_ = true;
        wake_.notify_all();
        ready_.notify_all();
    }
    if (grabThread_.joinable())
        grabThread_.join();
    if (keepThread_.joinable())
        keepThread_.join();
    pictures_.setEndMs(endMs_);
}

RecordingStatus Recorder::status() const
{
    std::lock_guard lock(mutex_);
    RecordingStatus s;
    s.running = started_ && !ended_;
    s.elapsedMs = !started_ ? 0 : ended_ ? endMs_ : recordedMs(Clock::now());
    s.frames = frames_;
    s.missed = missed_;
    s.paused = paused_;
    s.error = error_;
    return s;
}

std::int64_t Recorder::recordedMs(Clock::time_point now) const
{
    const Clock::time_point at = paused_ ? pausedAt_ : now;
    return std::chrono::duration_cast<std::chrono::milliseconds>(at - origin_).count();
}

void Recorder::end(const std::string& error)
{
    if (!ended_) {
        endMs_ = recordedMs(Clock::now());
        ended_ = true;
        error_ = error;
    }
    stopping_ = true;
    wake_.notify_all();
    ready_.notify_all();
}

void Recorder::grabLoop()
{
    const std::chrono::milliseconds period(periodMs_);
    std::unique_lock lock(mutex_);
    std::int64_t turn = 0;  // the next turn of the time line
    while (!stopping_) {
        if (paused_) {
            wake_.wait(lock, [this] { return !paused_ || stopping_; });
            continue;
        }
        if (lengthMs_ > 0 && turn * periodMs_ >= lengthMs_) {
            const Clock::time_point last = origin_ + std::chrono::milliseconds(lengthMs_);
            if (wake_.wait_until(lock, last, [this] { return stopping_ || paused_; }))
                continue;
            end("");
            endMs_ = lengthMs_;
            break;
        }
        const Clock::time_point due = origin_ + turn * period;
        if (wake_.wait_until(lock, due, [this] { return stopping_ || paused_; }))
            continue;
        const Clock::time_point now = Clock::now();
        // turns whose time has passed are not made up (nor counted past the
        // recording's length)
        if (std::int64_t late = (now - due) / period; late > 0) {
            if (lengthMs_ > 0)
                late = std::min(late, (lengthMs_ + periodMs_ - 1) / periodMs_ - turn);
            missed_ += int(late);
            turn += late;
            if (lengthMs_ > 0 && turn * periodMs_ >= lengthMs_)
                continue;
        }
        const std::int64_t atMs = recordedMs(now);
        lock.unlock();
        Picture picture;
        std::string failure;
        try {
            picture = grabCapturePicture(grabber_, area_, withCursor_);
        } catch (const std::exception& e) {
            failure = e.what();
        }
        lock.lock();
        if (!failure.empty()) {
            end(failure);
            break;
        }
        if (queue_.size() >= kMostWaiting) {
            ++missed_;
        } else {
            queue_.push_back({std::move(picture), atMs});
            ++frames_;
            ready_.notify_one();
        }
        ++turn;
    }
}

void Recorder::keepLoop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        ready_.wait(lock, [this] { return !queue_.empty() || stopping_; });
        if (queue_.empty())
            return;  // stopped, and everything grabbed is kept
        Grabbed grabbed = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        std::string failure;
        try {
            pictures_.add(grabbed.picture, grabbed.atMs);
        } catch (const std::exception& e) {
            failure = e.what();
        }
        lock.lock();
        if (!failure.empty()) {
            end(failure);
            frames_ -= int(queue_.size()) + 1;
            queue_.clear();
            return;
        }
    }
}

}  // namespace pelko
