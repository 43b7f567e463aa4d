#pragma once
// Refining a palette to a picture: a few k-means passes (each colour moves
// to the weighted mean of the pixels nearest to it) from a starting palette,
// such as the octree's. Pixels are counted in bins of 6 bits per channel
// that keep their exact sums; distances are squared RGB distances, as the
// colour lookups that map pixels to a palette measure them.

#include <cstdint>
#include <vector>

#include "engine/colour/bitmap.h"
#include "engine/colour/palette.h"

namespace pelko {

// The pixels of a 24-bit bitmap in bins, each pixel counted with its weight
// (weights: one per pixel, row by row, or empty for 1 each).
class ColorHistogram {
public:
    ColorHistogram(const Bitmap& bitmap, const std::vector<std::uint8_t>& weights = {});

    struct Bin {
        double weight;
        double red, green, blue;  // the mean colour of the bin's pixels
    };
    const std::vector<Bin>& bins() const { return bins_; }

    // Sum over the bins of weight x squared distance from the bin's mean
    // to the nearest of the palette's colours.
    double error(const Palette& palette) const;

private:
    std::vector<Bin> bins_;
};

// The palette after up to `passes` k-means passes over the histogram. Its
// error is never above that of `start`; entries no pixel is nearest to keep
// their colour. Size and order of the entries are kept.
Palette refinePalette(const ColorHistogram& histogram, const Palette& start, int passes);

}  // namespace pelko
