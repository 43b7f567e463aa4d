#pragma once
// The five PNG row filters. bpp is the byte distance of corresponding bytes
// of neighbouring pixels (at least 1); prev is the unfiltered previous row
// (all zero for the first row of an image or pass).

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace pelko::png {

inline std::uint8_t paethPredictor(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return std::uint8_t(a);
    return std::uint8_t(pb <= pc ? b : c);
}

// Undoes filter type in place; an unknown type leaves the row as it is.
void unfilterRow(int type, std::uint8_t* row, const std::uint8_t* prev, std::size_t n, std::size_t bpp);
// Writes the filtered form of raw into out (n bytes).
void filterRow(int type, const std::uint8_t* raw, const std::uint8_t* prev, std::uint8_t* out, std::size_t n,
               std::size_t bpp);

}  // namespace pelko::png
