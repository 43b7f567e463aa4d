#pragma once
// The editing commands of the frame list as engine operations: the window
// runs the dialog, calls one of these, and mirrors the project afterwards
// (cards, marks, preview, enabled commands, log panel, status panels).

#include <string>
#include <vector>

#include "engine/base/geometry.h"
#include "engine/base/progress.h"
#include "engine/project/command_enabling.h"
#include "engine/project/image_sources.h"
#include "engine/project/project.h"

namespace pelko {

struct EditResult {
    std::vector<std::string> errors;  // message box texts (caption "Error")
    bool canvasChanged = false;       // the first frame gave the canvas its size
    int added = 0;
    bool cancelled = false;
};

// Add: every file in order at the end of the list (other extensions are
// skipped). Marks the project changed; the last frame becomes the only
// selected one.
EditResult addFiles(Project& project, const std::vector<std::string>& paths, SourceReader& reader,
                    ProgressSink& progress = noProgress());
// Dropping files: like Add, but a file of another kind ends the drop.
EditResult dropFiles(Project& project, const std::vector<std::string>& paths, SourceReader& reader,
                     ProgressSink& progress = noProgress());
// Insert before the first selected frame. The batch keeps its own order and a
// GIF its frame order; the canvas size is not taken from the new frames. The
// frame that was selected stays the only selected one.
EditResult insertFiles(Project& project, const std::vector<std::string>& paths, SourceReader& reader,
                       ProgressSink& progress = noProgress());

// Delete every selected frame; nothing stays selected.
void deleteSelected(Project& project);
// Up and Down exchange the one selected frame with its neighbour, which then
// is the selected frame. They return false when the command is not enabled.
bool moveUp(Project& project);
bool moveDown(Project& project);
void selectAll(Project& project);

// A released mouse button over card i. addModifier: Shift or Ctrl held.
// Returns the frame the preview shows afterwards (-1: the preview is emptied).
int clickCard(Project& project, int index, bool addModifier, bool rightButton);
// Releasing the left button over the strip outside the cards.
void clickEmptyStrip(Project& project);

// Refresh: the selected frames' sources read again, what the cache held of
// them dropped first (a source that has gone keeps what is held). Problems
// are log lines; the project is marked changed. Progress counts the frames.
EditResult refreshSelected(Project& project, SourceReader& reader, ProgressSink& progress = noProgress());

// Dropping the frame dragged in the preview (placed with clampDrag), which
// marks the project changed when the place differs.
void dropPreviewFrame(Project& project, Point place);

}  // namespace pelko
