#pragma once
// New pictures for frames whose picture on the screen a canvas tool cannot
// keep by moving them (a frame that starts left of or above a crop, a
// stretched frame whose fitting follows the canvas, every frame of a
// resize): the part of the frame as it is shown (its Width x Height with
// mirror, grey and negative applied) is cut, resampled to its new size and
// written as a PNG into the work folder, and the frame then shows that file
// with no effect of its own. The source pictures are never touched.

#include <string>
#include <vector>

#include "engine/base/geometry.h"
#include "engine/base/progress.h"
#include "engine/project/project.h"

namespace pelko {

struct FramePictureJob {
    int index = 0;  // the frame
    Rect cut;       // the part of the frame's shown picture kept (frame pixels)
    Rect placed;    // where it goes on the new canvas, at this size
};

struct FramePictureFiles {
    std::vector<std::string> paths;  // per job: the file written
    bool cancelled = false;
};

// Renders the jobs' frames of the project as it is (on every core), then
// writes their pictures into folder as base.png, base1.png, ... (never over
// an existing file); jobs whose pictures are equal by what they are made of
// share a file. Throws EditError with the log line of a frame that cannot
// be rendered, OutputFileError ("PATH: reason") when a file cannot be
// written; nothing is written when a frame fails or progress asks to stop.
FramePictureFiles writeFramePictures(const Project& project, const std::vector<FramePictureJob>& jobs,
                                     const std::string& folder, const std::string& base,
                                     ProgressSink& progress = noProgress());

// frame as it shows the file at path, placed at placed, without stretch,
// mirror, grey or negative; its time and GIF settings stay.
FrameRecord frameShowingFile(const FrameRecord& frame, const std::string& path, const Rect& placed);

}  // namespace pelko
