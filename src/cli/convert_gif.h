#pragma once
// GIF output of "pelko-cli convert": one picture through the colour reduction.

#include <string>

#include "cli/command.h"
#include "engine/gif/color_modes.h"
#include "engine/image/picture.h"

namespace pelko::cli {

// The defaults of a new frame: quantized to 256 colours, no dithering.
struct GifConvertOptions {
    TColorReduction reduction = rmQuantize;
    TDitherMode dither = dmNearest;
    int bits = 8;
};

// Takes what is left of the command line: --reduction NAME, --dither NAME,
// --colors N. Returns kExitOk or the usage exit code (after printing why).
int takeGifConvertOptions(Args& options, GifConvertOptions& out);

// Writes the picture as a one-frame GIF. Returns an exit code; a failure
// leaves no file.
int convertToGif(const Picture& picture, const std::string& outPath, const GifConvertOptions& options);

}  // namespace pelko::cli
