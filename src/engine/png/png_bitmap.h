#pragma once
// PngBitmap: the decoded picture of a PNG image in the layout the codec keeps
// and hands over: 1, 4 or 8 bits per pixel with a colour table, or 24 bits
// (blue, green, red); rows bottom-up, each padded to a multiple of 4 bytes.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelko {

struct PngBitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;               // 1, 4, 8 or 24
    std::vector<std::uint32_t> palette;  // 0x00BBGGRR; 2^bitsPerPixel entries when indexed
    std::vector<std::uint8_t> bits;      // height rows of stride() bytes, bottom row first
    bool transparent = false;            // one colour of the picture stands for "transparent"
    std::uint32_t transparentColor = 0;  // 0x00BBGGRR

    static std::size_t strideFor(int width, int bitsPerPixel)
    {
        return (std::size_t(width) * std::size_t(bitsPerPixel) + 31) / 32 * 4;
    }
    std::size_t stride() const { return strideFor(width, bitsPerPixel); }
    // Row y counted from the top.
    std::uint8_t* scanLine(int y) { return bits.data() + std::size_t(height - 1 - y) * stride(); }
    const std::uint8_t* scanLine(int y) const { return bits.data() + std::size_t(height - 1 - y) * stride(); }
    // Colour table index of pixel x of an indexed row (most significant bits first).
    unsigned index(const std::uint8_t* row, int x) const
    {
        if (bitsPerPixel == 8)
            return row[x];
        if (bitsPerPixel == 4)
            return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
        return (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
};

}  // namespace pelko
