#include "engine/capture/capture_bar_state.h"

#include <algorithm>

namespace pelko {

void CaptureBarState::show(bool autoMode, int maxFrames, CaptureFormat format)
{
    autoMode_ = autoMode;
    maxFrames_ = std::max(1, maxFrames);
    format_ = format;
    count_ = 0;
    captureEnabled_ = true;
    pauseEnabled_ = false;
    timerRunning_ = false;
    grabbing_ = false;
    caption_ = "Capture";
}

CaptureBarState::Step CaptureBarState::captureClicked()
{
    if (!captureEnabled_ || grabbing_)
        return Step::Nothing;
    if (autoMode_) {
        captureEnabled_ = false;
        pauseEnabled_ = true;
        caption_ = "Capture: start";
        timerRunning_ = true;
    }
    grabbing_ = true;
    return Step::Grab;
}

CaptureBarState::Step CaptureBarState::tick()
{
    if (!timerRunning_ || grabbing_)
        return Step::Nothing;
    if (count_ >= maxFrames_) {
        stopRun();
        caption_ = "Capture: finish";
        return Step::Nothing;
    }
    grabbing_ = true;
    return Step::Grab;
}

void CaptureBarState::pauseClicked()
{
    if (pauseEnabled_)
        stopRun();
}

void CaptureBarState::grabbed()
{
    grabbing_ = false;
    ++count_;
}

void CaptureBarState::grabFailed()
{
    grabbing_ = false;
    if (timerRunning_)
        stopRun();
}

void CaptureBarState::stop()
{
    grabbing_ = false;
    stopRun();
}

void CaptureBarState::stopRun()
{
    timerRunning_ = false;
    pauseEnabled_ = false;
    captureEnabled_ = true;
}

std::string CaptureBarState::counterText() const
{
    return count_ == 0 ? " 0 frame" : " " + std::to_string(count_) + " frames";
}

const char* CaptureBarState::finishHint() const
{
    return format_ == CaptureFormat::Avi ? "Finish capture, create AVI and exit"
                                         : "Finish capture, create GIF and exit";
}

}  // namespace pelko
