#include "engine/gif/color_lookup.h"

#include <algorithm>
#include <cstdlib>

namespace pelko {

TFastColorLookup::TFastColorLookup(const Palette& palette)
    : TColorLookup(int(std::min<std::size_t>(palette.size(), 256)))
{
    cache_.fill(-1);
    for (int i = 0; i < colors_; ++i) {
        Color c = palette[std::size_t(i)];
        RGBTriple& e = entries_[std::size_t(i)];
        e = {redOf(c), greenOf(c), blueOf(c)};
        int cell = ((e.blue >> 3) << 10) | ((e.green >> 3) << 5) | (e.red >> 3);
        if (cache_[std::size_t(cell)] < 0) cache_[std::size_t(cell)] = std::int16_t(i);
    }
}

int TFastColorLookup::nearest(int red, int green, int blue) const
{
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < colors_; ++i) {
        const RGBTriple& e = entries_[std::size_t(i)];
        int d = std::abs(e.red - red) + std::abs(e.green - green) + std::abs(e.blue - blue);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
            if (d == 0) break;
        }
    }
    return best;
}

}  // namespace pelko
