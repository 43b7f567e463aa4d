#pragma once
// Project files (.mcp): INI text naming every frame's source and holding every
// per-frame and project setting, no pixels.

#include <string>
#include <vector>

#include "engine/base/progress.h"
#include "engine/project/image_sources.h"
#include "engine/project/project.h"

namespace pelko {

inline constexpr const char* kProjectVersion = "Pelko v.2.2";

// Writes the project to path. Sections of an existing file other than
// "Parameters" and "Files" (and the other keys of "Main") are kept. A picture
// in the project file's folder, or below it, is named relative to that folder
// so the folder can be moved or shared; any other by its full path. The file
// is replaced whole through a temporary file, so a failed save leaves the old
// one intact. On success the project is no longer changed and takes path;
// on failure throws std::runtime_error("Unable to write to PATH: reason") and the
// project stays changed.
void saveProjectFile(Project& project, const std::string& path);

struct OpenResult {
    // Texts of the readers' message boxes (caption "Error"), one per file.
    std::vector<std::string> errors;
};

// Replaces project by the one in the file at path. Never fails: problems
// become lines of the project's log, missing values take defaults, and a
// value no command could have stored is brought into range with a log line
// ("Height=-5 is out of range; 1 is used."). Opening renders no frame: it
// logs missing files, GIF sub-images that are not there and frames too large
// for a picture, and leaves those frames out; a still picture is not decoded
// here, so one its reader refuses is logged when it is first shown. Relative
// picture names are taken from the project file's folder. The first frame,
// if any, ends up selected; the project is changed exactly when a frame was
// left out. Cancelling through progress keeps the frames read so far.
OpenResult openProjectFile(Project& project, const std::string& path, SourceReader& reader,
                           const DefaultFrameSize& defaults, ProgressSink& progress = noProgress());

}  // namespace pelko
