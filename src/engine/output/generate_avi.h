#pragma once
// Writing the frame list into one AVI file.

#include <string>
#include <vector>

#include "engine/avi/avi_result.h"
#include "engine/avi/video_codecs.h"
#include "engine/base/progress.h"
#include "engine/output/output_state.h"
#include "engine/project/project.h"

namespace pelko {

struct AviGenerateOptions {
    bool showCodecWindow = true;  // ask the chooser on the first frame
    CompressOptions compress;     // the codec proposed, or used without the chooser
    VideoCodecChooser* chooser = nullptr;
    std::string soundFile;  // when not empty, the sound track in place of the project's
};

// Writes every frame, on a white canvas of the project's size at its place,
// each lasting the project's AVI frame time, then the project's sound when
// it has one. Returns AVIERR_OK, AVIERR_ERROR when the file could not be
// started or a frame not made (the cases that end generation for good), or
// the result code that stopped it (AVIERR_USERABORT when cancelled); callers
// that show it use AviResultText. messages receives what the window shows in
// message boxes. The file replaces an existing one only when it is complete.
AviResult GenerateAvi(const Project& project, const std::string& fileName, const AviGenerateOptions& options,
                      std::vector<std::string>& messages, ProgressSink& progress = noProgress());

// The command's retry rule: generate again while the result is neither
// AVIERR_OK, AVIERR_USERABORT nor AVIERR_ERROR, at most maxAttempts times.
AviResult GenerateAviWithRetry(const Project& project, const std::string& fileName,
                               const AviGenerateOptions& options, std::vector<std::string>& messages,
                               int maxAttempts, ProgressSink& progress = noProgress());

}  // namespace pelko
