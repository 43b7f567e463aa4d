#pragma once
// The output options shared by "make" and "generate".

#include <optional>
#include <string>

#include "cli/command.h"
#include "engine/output/build_animated_gif.h"
#include "engine/project/frame_record.h"

namespace pelko::cli {

struct OutputOptions {
    AnimatedGifOptions gif;
    bool gifOptionsGiven = false;                   // any of --optimize --merge --crop --interlaced
    std::optional<GifFrameSettings> frameSettings;  // applied to every frame (make)
    std::string codec = "dib";
    int quality = 75;
    std::string wav;
    int jobs = 0;  // 0: one per core
};

// Takes the output options out of args. frameOptions: also accept the frame
// settings (--reduction, --dither, --colors, --rle, --transparent). Returns
// kExitOk or the usage exit code (after printing why).
int takeOutputOptions(Args& args, OutputOptions& out, bool frameOptions, const char* command);

// Writes the project as an animated GIF or an AVI by the extension of path.
// Returns an exit code; messages go to stderr.
int writeOutput(const Project& project, const std::string& path, const OutputOptions& options);

}  // namespace pelko::cli
