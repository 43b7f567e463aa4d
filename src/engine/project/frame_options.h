#pragma once
// Frame options: time, placement and scaling of the selected frames. The
// dialog edits values and marks; after "OK" the marked values become pending
// values with apply flags, and applying them changes the selected frames.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/base/progress.h"
#include "engine/project/editing.h"
#include "engine/project/image_sources.h"
#include "engine/project/project.h"

namespace pelko {

struct FrameOptionsValues {
    int time = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool stretch = false;
};

struct FrameOptionsMarks {
    bool time = false;
    bool left = false;
    bool top = false;
    bool width = false;
    bool height = false;
    bool stretch = false;
    bool any() const { return time || left || top || width || height || stretch; }
    bool placement() const { return left || top || width || height || stretch; }
};

// Kept by the window for as long as the program runs; the flags are cleared
// when the command starts.
struct PendingFrameOptions {
    FrameOptionsValues values;
    FrameOptionsMarks flags;
};

// "Frame 2" for one selected frame, "Frames: 2, 5, 7" (ascending) for several.
std::string frameOptionsCaption(const Selection& selection);

// The dialog's values from the anchor (first selected) frame; all marked when
// one frame is selected, none when several are.
FrameOptionsValues frameOptionsFromFrame(const FrameRecord& frame);
FrameOptionsMarks initialFrameOptionsMarks(const Selection& selection);

// "Center": the rectangle centred on the canvas (halves rounded toward zero).
Point centredPlacement(int canvasWidth, int canvasHeight, int width, int height);

// "OK": decides OptionsChanged (the position fields against the previous
// pending values; the time against the AVI frame time or the pending time),
// then turns the marked values into pending values with their flags, and in
// an AVI project stores a marked time as the AVI frame time.
bool confirmFrameOptions(PendingFrameOptions& pending, const FrameOptionsValues& dialog,
                         const FrameOptionsMarks& marks, ProjectSettings& settings);

// Applies the pending values to the selected frames (every frame's time in an
// AVI project). A frame whose placement was set reads its source again
// (through the cache) and keeps its old placement when it cannot be rendered
// with the new one; its pictures follow the new placement. The project is
// marked changed when optionsChanged is set or any frame's stored value
// changed. Problems are log lines. Progress counts the selected frames; the
// work does not stop halfway.
EditResult applyFrameOptions(Project& project, const PendingFrameOptions& pending, bool optionsChanged,
                             SourceReader& reader, ProgressSink& progress = noProgress());

}  // namespace pelko
