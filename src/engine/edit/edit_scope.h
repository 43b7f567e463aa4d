#pragma once
// Which frames a whole-animation tool works on, choosing frames by number,
// and the range a frame's time is kept in.

#include <cstdint>
#include <vector>

#include "engine/project/project.h"

namespace pelko {

// The frames a tool works on, in list order: the selected ones when at least
// two are selected, otherwise the whole list (one selected frame is where the
// user stands, not a choice of frames to work on).
std::vector<int> editScope(const Project& project);

// Selects frames first..last, counted from 1, both included, in list order.
// Throws EditError when the range is empty or reaches outside the list.
void selectRange(Project& project, int first, int last);

// The shortest and longest time a tool gives a frame: 20 ms, and 32000 ms
// in a GIF project or 10000 ms (the AVI frame time) in an AVI project, as
// the option dialogs allow.
int minFrameTime();
int maxFrameTime(const ProjectSettings& settings);
std::uint16_t clampFrameTime(std::int64_t ms, const ProjectSettings& settings);

}  // namespace pelko
