#pragma once
// Image data decoder: a minimum code size byte and LZW codes in data
// sub-blocks become colour indices.

#include <cstdint>
#include <vector>

#include "engine/gif/gif_stream.h"

namespace pelko {

class TGIFItem;

// Decodes one frame's image data into pixels, which becomes width x height
// bytes; pixels that the data does not reach keep the value fill. Rows are
// stored in plain order; interlaced data arrives in the order of the four
// passes. Warnings go to sender. Raises GIFException "Invalid GIF data" for
// a minimum code size outside 1..11 and for codes no encoder can produce.
// Afterwards the stream is just past the data's 0 terminator (or at its end).
void decodeGifImageData(GifInput& in, std::vector<std::uint8_t>& pixels, int width, int height,
                        bool interlaced, std::uint8_t fill, const TGIFItem& sender);

}  // namespace pelko
