#pragma once
// Our reader of Windows bitmaps: 1, 2, 4, 8, 16, 24 and 32 bits per pixel,
// RLE4 and RLE8, bit fields, top-down rows, OS/2 (12 to 64-byte) and V4/V5
// headers. Every offset, count and size is checked against the data before
// it is used. Failures throw BmpError.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "engine/image/picture.h"

namespace pelko {

class BmpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A whole .bmp file. A picture beyond the pixel budget (pixel_budget.h) is
// refused from its header.
Picture decodeBmp(const std::uint8_t* data, std::size_t size);

// A device-independent bitmap as stored in an icon: the info header, colour
// table and pixels of the colour (XOR) picture, whose header gives twice the
// icon's height, followed by the 1-bit AND mask. Pixels that the mask (or, for
// 32 bits, the alpha channel) leaves transparent come out white.
Picture decodeIconDib(const std::uint8_t* data, std::size_t size);

// The size of the picture the decoders above make, from the headers alone:
// the header checks are the decoders', the pixels are not looked at and the
// pixel budget is not applied.
PictureSize bmpPictureSize(const std::uint8_t* data, std::size_t size);
PictureSize iconDibPictureSize(const std::uint8_t* data, std::size_t size);

}  // namespace pelko
