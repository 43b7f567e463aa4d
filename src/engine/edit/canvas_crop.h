#pragma once
// Cropping the canvas to a rectangle: the project takes the rectangle's
// size, and every frame moves so that its picture stays where it was on the
// screen. A frame that would start left of or above the new canvas, and a
// stretched frame (whose fitting follows the canvas), shows the part of its
// picture inside the rectangle from a new picture file (frame_pictures.h); a
// frame wholly outside the rectangle shows nothing there and goes, its time
// given to the frame before it (the one after it for the first frame).

#include <string>

#include "engine/base/geometry.h"
#include "engine/base/progress.h"
#include "engine/edit/edit_result.h"
#include "engine/project/project.h"

namespace pelko {

// Throws EditError when the rectangle reaches outside the canvas or a side
// is under the smallest canvas side (5), or with the log line of a frame
// that cannot be rendered; OutputFileError when a picture cannot be written.
// Nothing changes then.
EditToolResult cropCanvas(Project& project, const Rect& crop, const std::string& workFolder,
                          ProgressSink& progress = noProgress());

}  // namespace pelko
