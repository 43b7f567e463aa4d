#include "engine/capture/recording_bar_state.h"

#include <cstdio>

namespace pelko {

void RecordingBarState::show(CaptureFormat format)
{
    format_ = format;
    started_ = ended_ = false;
    status_ = RecordingStatus();
}

RecordingBarState::Step RecordingBarState::captureClicked()
{
    if (started_)
        return Step::Nothing;
    started_ = true;
    status_.running = true;
    return Step::Start;
}

RecordingBarState::Step RecordingBarState::pauseClicked()
{
    if (!pauseEnabled())
        return Step::Nothing;
    status_.paused = !status_.paused;
    return status_.paused ? Step::Pause : Step::Resume;
}

void RecordingBarState::update(const RecordingStatus& status)
{
    if (!started_)
        return;
    status_ = status;
    if (!status.running)
        ended_ = true;
}

void RecordingBarState::finished()
{
    if (started_)
        ended_ = true;
}

std::string RecordingBarState::caption() const
{
    if (!started_)
        return "Capture";
    if (ended_)
        return "Capture: finish";
    return status_.paused ? "Capture: paused" : "Capture: recording";
}

std::string RecordingBarState::counterText() const
{
    const long long tenths = status_.elapsedMs / 100;
    char text[96];
    std::snprintf(text, sizeof text, " %lld:%02lld.%lld, %d %s, %d missed", tenths / 600, tenths / 10 % 60,
                  tenths % 10, status_.frames, status_.frames == 1 ? "frame" : "frames", status_.missed);
    return text;
}

const char* RecordingBarState::finishHint() const
{
    return format_ == CaptureFormat::Avi ? "Finish capture, create AVI and exit"
                                         : "Finish capture, create GIF and exit";
}

}  // namespace pelko
