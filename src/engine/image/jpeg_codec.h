#pragma once
// JPEG through libjpeg: decoding (baseline, progressive, arithmetic, grey,
// CMYK and YCCK converted to RGB) and encoding at a quality of 0 to 100.
// libjpeg's fatal errors become a JpegError; nothing exits or leaks.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "engine/image/picture.h"

namespace pelko {

class JpegError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Truncated data (libjpeg's "premature end of data") is refused, and so are
// pictures beyond the pixel budget (from the header), headers that claim
// more blocks than the data can hold, and progressive files of more than a
// hundred scans, each before the work they would cost.
Picture decodeJpeg(const std::uint8_t* data, std::size_t size);
// The picture's size from the header alone (libjpeg reads it, the pixel
// budget is not applied).
PictureSize jpegPictureSize(const std::uint8_t* data, std::size_t size);

std::vector<std::uint8_t> encodeJpeg(const Picture& picture, int quality);

}  // namespace pelko
