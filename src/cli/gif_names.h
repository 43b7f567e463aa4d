#pragma once
// Names of the colour reduction and dither modes on the command line: the
// mode's name with or without its two-letter prefix, in any case
// ("quantize", "rmQuantize", "floydsteinberg").

#include <string>

#include "engine/gif/color_modes.h"

namespace pelko::cli {

bool parseReduction(const std::string& text, TColorReduction& value);
bool parseDither(const std::string& text, TDitherMode& value);
// "--colors N": 8, 16, ..., 256 as 3..8 bits; 0 for anything else.
int colorsToBits(const std::string& text);
// Prints the accepted names on stderr.
void listReductions();
void listDithers();

}  // namespace pelko::cli
