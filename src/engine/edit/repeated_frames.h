#pragma once
// Trim and de-duplicate: frames that show what their neighbour shows taken
// out, their time given to the frame that stays, so the animation shows the
// same pictures at the same moments. Both work on the edit scope
// (edit_scope.h) and compare rendered frames (frame_likeness.h).
//
// In an AVI project every frame lasts the AVI frame time, so no frame can
// take another's time: the repeated frames are dropped and the animation
// gets shorter, which the result's note says.

#include "engine/base/progress.h"
#include "engine/edit/edit_result.h"
#include "engine/project/project.h"

namespace pelko {

// Removes the frames at the start of the scope that do not differ from the
// frame after them by more than tolerance, and those at the end that do not
// differ from the frame before them; their time goes to the first and the
// last frame kept.
EditToolResult trimRepeats(Project& project, int tolerance, ProgressSink& progress = noProgress());

// Each run of consecutive frames that do not differ from the run's first
// frame by more than tolerance becomes its first frame, whose time is the
// sum of theirs (as several frames of the longest frame time and the rest
// when the sum is longer). Compared on every core.
EditToolResult dedupeRepeats(Project& project, int tolerance, ProgressSink& progress = noProgress());

// The note of a tool that dropped frames of an AVI project; empty when none
// were dropped or the project is a GIF.
std::string aviDropNote(const ProjectSettings& settings, int dropped);

}  // namespace pelko
