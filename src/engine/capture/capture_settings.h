#pragma once
// The settings of a screen capture, kept for the program run, and the sums
// between the reduced screen on the settings dialog's preview and the
// screen's own pixels. The area is kept in preview pixels; sx and sy are the
// screen's size over the preview's, computed in 32-bit floating point when
// the dialog opens, and every conversion truncates toward zero.

#include <string>

#include "engine/base/geometry.h"

namespace pelko {

enum class CaptureFormat { Avi = 0, AnimatedGif = 1 };

struct CaptureSettings {
    Rect area{20, 20, 100, 100};  // preview pixels
    bool autoMode = true;
    int periodMs = 1000;  // P: between automatic grabs
    int maxFrames = 10;   // M: grabs of one automatic run
    bool withCursor = true;
    int durationMs = 1000;  // D: each picture's time in the file
    std::string name = "Capture";
    CaptureFormat format = CaptureFormat::Avi;
    // "Record": pictures at a steady rate from "Capture" to "Finish and
    // create", each lasting in the file as long as it was on the screen (in
    // place of the manual or automatic mode).
    bool recordMode = false;
    int recordFps = 15;
    // The written file's frames go into the project too.
    bool addToProject = false;
};

// The dialog's ranges.
constexpr int kMinPeriodMs = 500, kMaxPeriodMs = 100000, kPeriodStep = 500;
constexpr int kMinMaxFrames = 1, kMaxMaxFrames = 100;
constexpr int kMinDurationMs = 20, kMaxDurationMs = 10000, kDurationStep = 50;
constexpr int kMinRecordFps = 5, kMaxRecordFps = 30;

struct CaptureScale {
    float sx = 1;
    float sy = 1;
};

// sx = screen width / preview width, sy = screen height / preview height.
CaptureScale captureScale(int screenWidth, int screenHeight, int previewWidth, int previewHeight);

// The area in screen pixels: each value times its axis's factor, truncated.
Rect toScreen(const Rect& previewArea, const CaptureScale& scale);
// Back to preview pixels: each value over its factor, truncated, except
// that a value shown from a preview value goes back to that value (the plain
// truncation would move and shrink the area a little at every OK).
Rect toPreview(const Rect& screenArea, const CaptureScale& scale);
// One screen value of an axis to preview pixels, and back.
int toPreview(int screenValue, float factor);
int toScreen(int previewValue, float factor);

// The largest Left/Width (x) and Top/Height (y) the dialog's spin edits take.
struct CaptureLimits {
    int maxX = 1;
    int maxY = 1;
};
CaptureLimits captureLimits(int previewWidth, int previewHeight, const CaptureScale& scale);

// The settings with every value inside the dialog's ranges (the ranges the
// command line checks as well).
CaptureSettings clampedCaptureSettings(CaptureSettings s);

}  // namespace pelko
