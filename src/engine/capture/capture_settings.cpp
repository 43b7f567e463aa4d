#include "engine/capture/capture_settings.h"

#include <algorithm>

namespace pelko {

CaptureScale captureScale(int screenWidth, int screenHeight, int previewWidth, int previewHeight)
{
    CaptureScale s;
    if (previewWidth > 0)
        s.sx = float(screenWidth) / float(previewWidth);
    if (previewHeight > 0)
        s.sy = float(screenHeight) / float(previewHeight);
    return s;
}

int toScreen(int previewValue, float factor)
{
    return int(float(previewValue) * factor);
}

int toPreview(int screenValue, float factor)
{
    if (factor <= 0)
        return screenValue;
    // trunc(v / s), raised by one where that one still shows no more than v:
    // then a value that was shown comes back as the value it was shown from,
    // and OK without changes keeps the area where it was.
    int p = int(float(screenValue) / factor);
    if (toScreen(p + 1, factor) <= screenValue)
        ++p;
    return p;
}

Rect toScreen(const Rect& a, const CaptureScale& s)
{
    return {toScreen(a.left, s.sx), toScreen(a.top, s.sy), toScreen(a.width, s.sx), toScreen(a.height, s.sy)};
}

Rect toPreview(const Rect& a, const CaptureScale& s)
{
    return {toPreview(a.left, s.sx), toPreview(a.top, s.sy), toPreview(a.width, s.sx),
            toPreview(a.height, s.sy)};
}

CaptureLimits captureLimits(int previewWidth, int previewHeight, const CaptureScale& scale)
{
    return {std::max(1, toScreen(previewWidth, scale.sx)), std::max(1, toScreen(previewHeight, scale.sy))};
}

CaptureSettings clampedCaptureSettings(CaptureSettings s)
{
    s.periodMs = std::clamp(s.periodMs, kMinPeriodMs, kMaxPeriodMs);
    s.maxFrames = std::clamp(s.maxFrames, kMinMaxFrames, kMaxMaxFrames);
    s.durationMs = std::clamp(s.durationMs, kMinDurationMs, kMaxDurationMs);
    s.recordFps = std::clamp(s.recordFps, kMinRecordFps, kMaxRecordFps);
    s.area.width = std::max(1, s.area.width);
    s.area.height = std::max(1, s.area.height);
    s.area.left = std::max(0, s.area.left);
    s.area.top = std::max(0, s.area.top);
    return s;
}

}  // namespace pelko
