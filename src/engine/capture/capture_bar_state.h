#pragma once
// The capture bar's rules, without a window or a clock: which buttons are
// enabled, the caption, the counter and whether the capture timer runs. The
// bar feeds it the clicks and the timer's ticks and does the grabbing it is
// told to; tests drive it tick by tick.
//
// Manual mode: every click on "Capture" grabs one picture. Automatic mode: a
// click grabs one at once and starts the timer; each tick grabs one more
// until the run has grabbed M, and the tick after that stops the timer with
// the caption "Capture: finish". The count of grabs is not reset by "Pause",
// so after a finished run each click grabs one picture and the next tick
// stops again.

#include <string>

#include "engine/capture/capture_settings.h"

namespace pelko {

class CaptureBarState {
public:
    // What the bar does after an event.
    enum class Step { Nothing, Grab };

    // The bar shown for a capture: nothing grabbed, "Capture" enabled.
    void show(bool autoMode, int maxFrames, CaptureFormat format);
    Step captureClicked();
    Step tick();
    void pauseClicked();
    // A grab asked for above succeeded (the picture is in the list) or failed
    // (an automatic run stops; the user may click again).
    void grabbed();
    void grabFailed();
    // "Finish and create", or the bar closed: the timer stops and "Capture"
    // is enabled again (for a bar that stays up when writing fails).
    void stop();

    int count() const { return count_; }
    bool captureEnabled() const { return captureEnabled_; }
    bool pauseEnabled() const { return pauseEnabled_; }
    bool pauseVisible() const { return autoMode_; }
    bool finishEnabled() const { return count_ > 0; }
    bool timerRunning() const { return timerRunning_; }
    const std::string& caption() const { return caption_; }
    // " 0 frame" before the first grab, then " N frames".
    std::string counterText() const;
    // The hint of "Finish and create" for the file's format.
    const char* finishHint() const;

private:
    void stopRun();

    bool autoMode_ = false;
    int maxFrames_ = 1;
    CaptureFormat format_ = CaptureFormat::Avi;
    int count_ = 0;
    bool captureEnabled_ = true;
    bool pauseEnabled_ = false;
    bool timerRunning_ = false;
    bool grabbing_ = false;  // a grab was asked for and not yet reported
    std::string caption_ = "Capture";
};

}  // namespace pelko
