#pragma once
// Writes a Picture as a 24-bit uncompressed Windows bitmap (bottom-up rows,
// 40-byte info header).

#include <cstdint>
#include <vector>

#include "engine/image/picture.h"

namespace pelko {

std::vector<std::uint8_t> encodeBmp(const Picture& picture);

}  // namespace pelko
