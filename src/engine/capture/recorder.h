#pragma once
// Recorder: a screen recording at a steady frame rate. One thread grabs the
// area on a fixed time line (a frame every 1000/fps ms from the start) and
// hands each picture, with the time it was grabbed, to a second thread that
// keeps it in the captured pictures (which pack it past their budget), so
// packing never delays a grab and the caller's thread is never blocked.
//
// Times come from the monotonic clock and leave out the pauses. A grab that
// comes so late that its turn has passed is not made up: the turns passed are
// counted as missed and the picture before lasts longer. A picture that
// cannot be kept in time (the keeping thread is behind by more than a short
// queue) counts as missed too, so memory stays bounded.
//
// A grab that fails (the desktop refuses, the shared screen's stream ends)
// ends the recording with the grabber's message; every picture grabbed
// before stays in the list.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "engine/base/geometry.h"
#include "engine/capture/capture_settings.h"
#include "engine/capture/captured_pictures.h"
#include "engine/capture/screen_grabber.h"

namespace pelko {

struct RecordingStatus {
    std::int64_t elapsedMs = 0;  // recorded time, pauses left out
    int frames = 0;              // pictures grabbed
    int missed = 0;              // turns of the time line without a picture
    bool paused = false;
    bool running = false;  // started and not ended (by stop() or a failure)
    std::string error;     // why the recording ended by itself ("" if it did not)
};

class Recorder {
public:
    using Clock = std::chrono::steady_clock;

    // The grabber and the pictures must outlive the recorder and be left
    // alone by others while it runs. fps is kept within 5..30.
    Recorder(ScreenGrabber& grabber, CapturedPictures& pictures, const Rect& area, bool withCursor, int fps);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    // Ends the recording by itself after ms of recorded time (before
    // start): the turns before it are grabbed, and the recording is exactly
    // that long.
    void setLength(std::int64_t ms) { lengthMs_ = ms; }
    // Starts grabbing now (the pictures are emptied first).
    void start();
    void pause();
    void resume();
    // Ends the recording: the threads finish, every grabbed picture is in
    // the list and its end time set. Safe to call more than once.
    void stop();

    RecordingStatus status() const;
    int framePeriodMs() const { return periodMs_; }

private:
    struct Grabbed {
        Picture picture;
        std::int64_t atMs = 0;
    };
    void grabLoop();
    void keepLoop();
    std::int64_t recordedMs(Clock::time_point now) const;  // under mutex_
    void end(const std::string& error);                    // under mutex_

    ScreenGrabber& grabber_;
    CapturedPictures& pictures_;
    Rect area_;
    bool withCursor_;
    int periodMs_;
    std::int64_t lengthMs_ = 0;  // 0: until stop()

    mutable std::mutex mutex_;
    std::condition_variable wake_;   // the grabbing thread: pause, resume, stop
    std::condition_variable ready_;  // the keeping thread: a picture or the end
    std::deque<Grabbed> queue_;
    Clock::time_point origin_;    // the time line's start, moved on by pauses
    Clock::time_point pausedAt_;  // while paused
    bool started_ = false, paused_ = false, stopping_ = false, ended_ = false;
    bool keeping_ = false;  // the keeping thread holds a picture
    int frames_ = 0, missed_ = 0;
    std::int64_t endMs_ = 0;
    std::string error_;
    std::thread grabThread_, keepThread_;
};

}  // namespace pelko
