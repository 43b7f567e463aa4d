#pragma once
// The flip and convert commands over the selected frames.

#include <vector>

#include "engine/base/progress.h"
#include "engine/project/image_sources.h"
#include "engine/project/project.h"

namespace pelko {

enum class ConvertMode { Normal, Inverse, GreyScale };

struct EffectResult {
    std::vector<std::string> errors;  // readers' message box texts
    int changedFrames = 0;
};

// Flip the selected frames to mode (0 Normal .. 3 Horizontal+Vertical): each
// frame not already so is rendered again from its source with that mirror,
// then greyed and inverted as its flags say. Frames that cannot be read keep
// their image and settings and add a log line. Marks the project changed.
// Progress counts the selected frames (also for convertSelected).
EffectResult flipSelected(Project& project, int mode, SourceReader& reader,
                          ProgressSink& progress = noProgress());

// Normal renders from the source without grey and negative; Inverse and
// GreyScale work on the current frame image (an inverted frame is never
// greyed). Marks the project changed.
EffectResult convertSelected(Project& project, ConvertMode mode, SourceReader& reader,
                             ProgressSink& progress = noProgress());

// Check marks of the two menus, from the first selected frame.
struct EffectMarks {
    int flip = 0;         // which flip entry is checked
    bool normal = false;  // convert "Normal"
    bool inverse = false;
    bool grey = false;
};
EffectMarks effectMarks(const FrameRecord& frame);

}  // namespace pelko
