#pragma once
// GIF output of "pelko-cli convert": one picture through the colour reduction.

#include <string>

#include "cli/command.h"
#include "engine/image/picture.h"

namespace pelko::cli {

// options holds what is left of the command line: --reduction NAME,
// --dither NAME, --colors N. Returns an exit code.
int convertToGif(const Picture& picture, const std::string& outPath, Args& options);

}  // namespace pelko::cli
