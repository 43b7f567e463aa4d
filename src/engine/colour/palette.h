#pragma once
// Palettes: ordered colour lists (0x00BBGGRR) that bitmaps and reductions
// use, and the fixed palettes of the colour reduction modes.

#include <vector>

#include "engine/image/picture.h"

namespace pelko {

using Palette = std::vector<Color>;

// The 216-colour web palette: entry 36r + 6g + b is (51r, 51g, 51b).
Palette WebPalette();

// The classic 20-colour system palette: the 16 VGA colours plus four extra
// system colours, split as ten at the start and ten at the end of a
// 256-entry system palette.
const Palette& systemPalette20();

// The 256-colour halftone palette: the first ten system colours, a
// 6 x 6 x 6 colour cube, a ramp of 20 greys and the last ten system colours.
const Palette& halftonePalette256();

// The 4 greys of rmWindowsGray, the black and white of rmMonochrome and the
// 256 greys of rmGrayScale.
Palette windowsGrayPalette();
Palette monochromePalette();
Palette grayScalePalette();

}  // namespace pelko
