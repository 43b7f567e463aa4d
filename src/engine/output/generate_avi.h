#pragma once
// Writing the frame list into one AVI file.

#include <string>
#include <vector>

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
// it has one. Returns "Success", "Error" or the text of the result code that
// stopped it. messages receives what the window shows in message boxes. The
// file replaces an existing one only when it is complete.
std::string GenerateAvi(const Project& project, const std::string& fileName,
                        const AviGenerateOptions& options, std::vector<std::string>& messages,
                        ProgressSink& progress = noProgress());

// The command's retry rule: generate again while the result is neither
// "Success", "AVIERR_USERABORT" nor "Error", at most maxAttempts times.
std::string GenerateAviWithRetry(const Project& project, const std::string& fileName,
                                 const AviGenerateOptions& options, std::vector<std::string>& messages,
                                 int maxAttempts, ProgressSink& progress = noProgress());

}  // namespace pelko
