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
    bool loopsGiven = false;                        // --loops
    std::optional<GifFrameSettings> frameSettings;  // applied to every frame (make)
    std::string codec = "dib";
    bool codecGiven = false;  // --codec or --quality
    int quality = 75;
    std::string wav;
    int jobs = 0;  // 0: one per core
    // Set by checkOutputArgs for a --wav that cannot go into the AVI: the AVI
    // is written without it and the command ends with kExitWithoutSound.
    std::string soundDropped;
};

// Takes the output options out of args. frameOptions: also accept the frame
// settings (--reduction, --dither, --colors, --rle, --transparent). Returns
// kExitOk or the usage exit code (after printing why).
int takeOutputOptions(Args& args, OutputOptions& out, bool frameOptions, const char* command);

// Checks, before any picture is read, what can be checked of the output:
// options that belong to the other kind of output and an unknown codec are
// wrong usage (kExitUsage), a path that cannot take the file fails
// (kExitFailed, "PATH: reason"), and a --wav that cannot be used is noted in
// soundDropped. Returns kExitOk or the exit code, after printing why.
int checkOutputArgs(const std::string& path, OutputOptions& options, const char* command);

// Writes the project as an animated GIF or an AVI by the extension of path.
// Returns an exit code; messages go to stderr as "FILE: reason". A failure
// leaves no file at path (an existing one stays as it was).
int writeOutput(const Project& project, const std::string& path, const OutputOptions& options);

}  // namespace pelko::cli
