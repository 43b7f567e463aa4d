#pragma once
// Our reader of Windows icons. Of the entries, the largest is read, and of
// equal sizes the one with the most colours; entries whose data does not lie
// inside the file, or that fail to decode, are passed over for the next best.
// The picture is the icon drawn on white: pixels the mask, the alpha channel
// or (for PNG entries, read by the PNG codec) the PNG's transparency leave
// transparent come out white. Failures throw IcoError.

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "engine/image/picture.h"

namespace pelko {

class IcoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Picture decodeIco(const std::uint8_t* data, std::size_t size);

}  // namespace pelko
