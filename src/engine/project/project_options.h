#pragma once
// Project options: the values of the project options dialog, and bringing
// the frames in line with them after "OK".

#include <cstdint>
#include <string>
#include <vector>

#include "engine/base/progress.h"
#include "engine/project/image_sources.h"
#include "engine/project/project.h"

namespace pelko {

// What the dialog edits (the show flags of the output and export dialogs
// belong to the output state and are kept by the window).
struct ProjectOptions {
    std::int32_t Width = 100;
    std::int32_t Height = 100;
    bool Stretch = false;
    std::int32_t Type = ProjectAvi;
    std::int32_t AviFrameTime = 1000;
    std::int32_t GifFrameTime = 500;
    bool FixAtFirstFrame = false;  // only offered for a new project
};

// Field limits of the dialog.
constexpr int kMinCanvasSide = 5;
constexpr int kMaxCanvasSide = 10000;
constexpr int kMaxAviFrameTime = 10000;
constexpr int kMaxGifFrameTime = 32000;
constexpr int kMinFrameTime = 20;

// The dialog's starting values: the remembered default size and standard
// times for a new project, the project's own values otherwise.
ProjectOptions projectOptionsForDialog(const Project& project, bool newProject,
                                       const DefaultFrameSize& defaults);
// "by default": type AVI, scale box cleared, 1000 and 500 ms, the remembered size.
ProjectOptions defaultProjectOptions(const DefaultFrameSize& defaults, bool fixAtFirstFrame);

// "OK": stores the dialog's values in the settings. Returns OptionsChanged:
// size, scaling or type differ from before (times do not count).
bool storeProjectOptions(ProjectSettings& settings, const ProjectOptions& options);

struct ProjectOptionsResult {
    bool optionsChanged = false;
    bool rendered = false;
    std::vector<std::string> errors;
};

// The Project options command after "OK": stores the values, gives every
// frame of an AVI project the AVI frame time, and when size, scaling or type
// changed places every frame anew from its source, read through the cache
// (log lines for the frames that fail, which keep their placement; the first
// frame selected afterwards). Marks the project changed when any
// stored value changed, times included, so that closing asks about them.
ProjectOptionsResult applyProjectOptions(Project& project, const ProjectOptions& options,
                                         SourceReader& reader, ProgressSink& progress = noProgress());

// The New command after "OK": a cleared, changed, unnamed project with the
// dialog's settings.
void newProject(Project& project, const ProjectOptions& options);

}  // namespace pelko
