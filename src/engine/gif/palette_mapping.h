#pragma once
// Mapping a true-colour picture to a palette for the smaller-file mode: the
// nearest colour (squared RGB distance, exact), with Floyd-Steinberg error
// diffusion when asked; and, given the frame before, temporal stability: a
// pixel whose colour did not change keeps the colour the frame before showed
// there when the palette has it and it is nearly as close as the nearest, so
// the frames differ only where the picture does and the optimizer can make
// the rest transparent.

#include <cstdint>
#include <vector>

#include "engine/gif/bitmap.h"
#include "engine/gif/palette.h"

namespace pelko {

// What the frame before was and showed, pixel by pixel (row by row).
struct ShownFrame {
    int width = 0;
    int height = 0;
    std::vector<Color> source;
    std::vector<Color> shown;
};

struct MappedFrame {
    Bitmap bitmap;  // 8 bits, with the palette (its first 256 entries)
    ShownFrame shown;
};

// The mapping in two steps: what does not depend on the frame before
// (without diffusion, every pixel's nearest entry) is done on construction,
// so that only map() need wait for the frame before. bitmap (any format,
// read as 24 bits) must outlive the mapper; palette: 1 to 256 colours.
class PaletteMapper {
public:
    PaletteMapper(const Bitmap& bitmap, const Palette& palette, bool diffuse);
    // previous: the frame before, or null; used only when it has the same size.
    MappedFrame map(const ShownFrame* previous);

private:
    const Bitmap* src_;
    Bitmap converted_;
    Palette used_;
    bool diffuse_;
    std::vector<std::uint8_t> nearest_;  // without diffusion
    std::vector<Color> source_;
};

inline MappedFrame mapToPalette(const Bitmap& bitmap, const Palette& palette, bool diffuse,
                                const ShownFrame* previous)
{
    return PaletteMapper(bitmap, palette, diffuse).map(previous);
}

}  // namespace pelko
