#pragma once
// The capture bar's rules in "Record" mode, without a window or a clock.
// "Capture" starts the recording, "Pause" pauses and resumes it (its hint
// says which), "Finish and create" ends it once a picture is in, and the
// counter shows the recorded time, the pictures and the turns missed, from
// the recorder's status. A recording that ended by itself (the desktop
// stopped giving pictures) keeps its pictures: only "Finish and create" is
// left.

#include <string>

#include "engine/capture/capture_settings.h"
#include "engine/capture/recorder.h"

namespace pelko {

class RecordingBarState {
public:
    enum class Step { Nothing, Start, Pause, Resume };

    // The bar shown for a recording: nothing recorded, "Capture" enabled.
    void show(CaptureFormat format);
    Step captureClicked();
    Step pauseClicked();
    // The recorder's latest status.
    void update(const RecordingStatus& status);
    // "Finish and create" asked for: the recording is to stop.
    void finished();

    bool started() const { return started_; }
    // The recorder's status last shown.
    const RecordingStatus& status() const { return status_; }
    bool ended() const { return ended_; }
    bool captureEnabled() const { return !started_; }
    bool pauseEnabled() const { return started_ && !ended_; }
    bool finishEnabled() const { return started_ && status_.frames > 0; }
    const char* pauseHint() const { return status_.paused ? "Resume" : "Pause"; }
    // "Capture", "Capture: recording", "Capture: paused", "Capture: finish".
    std::string caption() const;
    // " 0:05.2, 153 frames, 2 missed"
    std::string counterText() const;
    const char* finishHint() const;

private:
    CaptureFormat format_ = CaptureFormat::Avi;
    bool started_ = false;
    bool ended_ = false;
    RecordingStatus status_;
};

}  // namespace pelko
