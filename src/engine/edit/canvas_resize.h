#pragma once
// Resizing the whole animation to a new canvas size: every frame's place and
// size scale with the canvas, and its picture is resampled with the
// program's B-spline (engine/image/resample.h) into a new picture file
// (frame_pictures.h); the source pictures are untouched.

#include <string>

#include "engine/base/progress.h"
#include "engine/edit/edit_result.h"
#include "engine/project/project.h"

namespace pelko {

// Throws EditError for a side outside 5..10000, or with the log line of a
// frame that cannot be rendered; OutputFileError when a picture cannot be
// written. Nothing changes then.
EditToolResult resizeAnimation(Project& project, int width, int height, const std::string& workFolder,
                               ProgressSink& progress = noProgress());

}  // namespace pelko
