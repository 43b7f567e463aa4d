#pragma once
// A picture as a Windows bitmap file of 1, 4, 8, 16, 24 or 32 bits per
// pixel (uncompressed, bottom-up rows, 40-byte info header), and how the
// picture looks in that pixel format.
//
// The indexed formats take each pixel's nearest palette colour (the least
// sum of squared differences, the first entry on a tie): black and white
// for 1 bit, the 16 standard colours for 4 bits and the 256-colour halftone
// palette for 8 bits. 16 bits keep the top 5 bits of each channel (5-5-5);
// 32 bits hold blue, green, red and an unused 0 byte.

#include <cstdint>
#include <vector>

#include "engine/colour/palette.h"
#include "engine/image/picture.h"

namespace pelko {

// The palette of an indexed format; empty for 16, 24 and 32 bits.
const Palette& bmpPalette(int bits);

// The picture as the file of that pixel format shows it.
Picture bmpPixelFormatPreview(const Picture& picture, int bits);

// The file. Throws std::invalid_argument for bits other than the six or an
// empty picture, std::length_error for a file past 4 GiB.
std::vector<std::uint8_t> encodeBmpBits(const Picture& picture, int bits);

}  // namespace pelko
