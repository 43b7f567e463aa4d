#pragma once
// Mapping a true-colour picture to a palette for the smaller-file mode: the
// nearest colour (squared RGB distance; exact, or, for the pixels looked up
// beforehand when asked, that of the middle of the pixel's cell of 4 x 4 x 4
// values),
// with Floyd-Steinberg error diffusion when asked; and, given what the frame before left on the
// screen, keeping: a pixel whose shown colour is close enough to the one
// wanted (a KeepRule) is left to show it, as a transparent pixel of this
// frame, so only what changed is written again.

#include <cstdint>
#include <vector>

#include "engine/colour/bitmap.h"
#include "engine/colour/palette.h"

namespace pelko {

// What the screen showed in a frame's rectangle after it, pixel by pixel
// (row by row).
struct ShownFrame {
    int width = 0;
    int height = 0;
    std::vector<Color> shown;
};

// When a pixel keeps the colour shown before: when that colour is at most
// `slack` farther (in RGB distance) from the colour wanted than the palette
// colour it would get, or at most `tolerance` from it. Both 0: only when
// it is at least as close.
// `run`: a pixel takes what the pixel on its left took (kept or a colour)
// when that is at most this far from the colour wanted, so the picture
// holds longer runs for the compression (without diffusion).
struct KeepRule {
    double slack = 0;
    double tolerance = 0;
    double run = 0;
};

struct MappedFrame {
    // 8 bits, with the palette (its first 256 entries); the pixels kept are
    // in its mask, and it is transparent when there are any.
    Bitmap bitmap;
    ShownFrame shown;
    int kept = 0;
};

// The mapping in two steps: what does not depend on the frame before
// (without diffusion, every pixel's nearest entry) is done on construction,
// so that only map() need wait for the frame before. bitmap (any format,
// read as 24 bits) must outlive the mapper; palette: 1 to 256 colours.
class PaletteMapper {
public:
    // wanted (one per pixel, row by row, or empty for all): the pixels
    // whose nearest entry is looked up beforehand (byCell: by their cell,
    // else exactly); map() looks up the others, exactly, when it needs them.
    PaletteMapper(const Bitmap& bitmap, const Palette& palette, bool diffuse,
                  const std::vector<std::uint8_t>& wanted = {}, bool byCell = true);
    // previous: the frame before, or null; used only when it has the same size.
    MappedFrame map(const ShownFrame* previous, KeepRule keep = {});

private:
    const Bitmap* src_;
    Bitmap converted_;
    Palette used_;
    bool diffuse_;
    std::vector<std::uint8_t> nearest_;  // without diffusion
    std::vector<std::uint8_t> known_;    // which of nearest_ were looked up (empty: all)
};

inline MappedFrame mapToPalette(const Bitmap& bitmap, const Palette& palette, bool diffuse,
                                const ShownFrame* previous, KeepRule keep = {})
{
    return PaletteMapper(bitmap, palette, diffuse).map(previous, keep);
}

}  // namespace pelko
