#pragma once
// Our reader of Windows icons. Of the entries, the largest is read, and of
// equal sizes the one with the most colours; entries whose data does not lie
// inside the file are passed over. Bitmap entries are drawn on white (pixels
// the mask or alpha leaves transparent come out white); PNG entries go
// through the PNG codec. Failures throw IcoError.

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
