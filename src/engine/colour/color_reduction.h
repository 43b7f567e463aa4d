#pragma once
// Colour reduction: turning a true-colour bitmap into an 8-bit bitmap of at
// most 256 colours, with the palette of the chosen mode, the mode's colour
// lookup and the chosen ditherer between them.

#include <vector>

#include "engine/colour/bitmap.h"
#include "engine/colour/palette.h"
#include "engine/gif/color_modes.h"

namespace pelko {

// A new bitmap reduced from `bitmap`:
// - rmNone: a 24-bit copy;
// - every other mode: an 8-bit bitmap whose palette has 256 entries (the
//   mode's colours, then black); its indices stay below the mode's colour
//   count.
// bits (3..8) is used by rmQuantize only, palette by rmPalette only. An
// empty palette, an unknown mode or an empty source give an empty bitmap.
Bitmap ReduceColors(const Bitmap& bitmap, TColorReduction reduction, TDitherMode ditherMode, int bits,
                    const Palette* palette = nullptr);

// The octree palette of a bitmap: `colors` entries, the quantizer's colours
// first, black after them.
Palette quantizedPalette(const Bitmap& bitmap, int colors, int colorBits = 8);

// One palette for several bitmaps, quantized over all of them in order.
// With systemColors: 256 entries, the first ten system colours, up to 236
// quantized colours from entry 10, black up to entry 245, and the last ten
// system colours. Without: `colors` entries. Throws GIFException
// "Invalid bitmap list" for an empty list.
Palette CreateOptimizedPaletteFromManyBitmaps(const std::vector<const Bitmap*>& bitmaps, int colors,
                                              int colorBits, bool systemColors);

}  // namespace pelko
