#pragma once
// Retiming the animation: the scope's times scaled or set, and every Nth
// frame dropped. Times are kept within minFrameTime()..maxFrameTime()
// (edit_scope.h). In an AVI project all frames share the AVI frame time, so
// scaling or setting changes it and every frame with it.

#include "engine/base/progress.h"
#include "engine/edit/edit_result.h"
#include "engine/project/project.h"

namespace pelko {

constexpr int kMinSpeedPercent = 1;
constexpr int kMaxSpeedPercent = 10000;

// Multiplies the times of the scope by percent / 100 (50 plays them twice
// as fast), rounding to the nearest millisecond. Throws EditError for a
// percentage outside kMinSpeedPercent..kMaxSpeedPercent.
EditToolResult scaleTimes(Project& project, int percent);

// Gives every frame of the scope the time ms. Throws EditError for a time
// outside the allowed range.
EditToolResult setTimes(Project& project, int ms);

// Drops the Nth, 2Nth, ... frame of the scope (n at least 2); each dropped
// frame's time goes to the frame before it in the list (in a GIF project).
// Throws EditError for n under 2.
EditToolResult dropEveryNth(Project& project, int n);

}  // namespace pelko
