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
// frame not already so reads its source again and takes the mirror; its
// picture is then rendered from the source in the fixed order (compose,
// mirror, grey, negative) when it is shown. Frames whose source cannot be
// read keep their settings (and so their picture) and add a log line. Marks
// the project changed. Progress counts the selected frames (also for
// convertSelected).
EffectResult flipSelected(Project& project, int mode, SourceReader& reader,
                          ProgressSink& progress = noProgress());

// Normal reads the source again and clears grey and negative; Inverse and
// GreyScale set their flag without reading it (an inverted frame is never
// greyed), and the picture follows in the fixed order. A frame whose source
// has gone keeps the picture it shows with the effect applied. Marks the
// project changed.
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
