#pragma once
// Image data decoder: a minimum code size byte and LZW codes in data
// sub-blocks become colour indices.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/gif/gif_stream.h"

namespace pelko {

class TGIFItem;

// Decodes one frame's image data into pixels, which becomes width x height
// bytes; pixels that the data does not reach keep the value fill. Rows are
// stored in plain order; interlaced data arrives in the order of the four
// passes. With pixels null the data is followed and checked the same way
// (warnings and errors included) but nothing is kept. Warnings go to sender.
//
// Raises GIFException "Invalid GIF data" for a minimum code size outside
// 1..11 and for codes no encoder can produce, and "Premature end of data"
// when the data leaves more than maxMissing pixels unreached: those are
// refused before the pixel data is made. Returns how many pixels the data
// gave. Afterwards the stream is just past the data's 0 terminator (or at its
// end).
std::size_t decodeGifImageData(GifInput& in, std::vector<std::uint8_t>* pixels, int width, int height,
                               bool interlaced, std::uint8_t fill, std::size_t maxMissing,
                               const TGIFItem& sender);

}  // namespace pelko
