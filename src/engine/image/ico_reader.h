#pragma once
// Our reader of Windows icons. Of the entries, the largest is read, and of
// equal sizes the one with the most colours; entries whose data does not lie
// inside the file are passed over, and one that fails to decode gives way to
// the next best (one more at most, so a directory of thousands of damaged
// entries costs no more than two). Every entry's picture is held to the
// pixel budget.
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
// The size of the picture decodeIco gives, from the chosen entry's header.
PictureSize icoPictureSize(const std::uint8_t* data, std::size_t size);

}  // namespace pelko
