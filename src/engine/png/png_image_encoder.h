#pragma once
// The image data of one 8-bit RGB or RGBA picture as a PNG stores it (the
// rows filtered, then deflated in a zlib stream), for writers that put
// together chunks of their own (the animated PNG's IDAT and fdAT).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelko::png {

// channels is 3 (RGB) or 4 (RGBA); rows are stride bytes apart. Each row
// gets the filter whose output has the smallest sum of magnitudes, and the
// rows are compressed at level (1 fastest .. 12 smallest). Throws
// std::bad_alloc when memory runs out.
std::vector<std::uint8_t> encodeImageData(const std::uint8_t* pixels, int width, int height, int channels,
                                          std::size_t stride, int level);

}  // namespace pelko::png
