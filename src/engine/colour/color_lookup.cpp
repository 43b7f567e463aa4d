#include "engine/colour/color_lookup.h"

#include <algorithm>
#include <cstdlib>

namespace pelko {

TFastColorLookup::TFastColorLookup(const Palette& palette)
    : TColorLookup(int(std::min<std::size_t>(palette.size(), 256)))
{
    for (int i = 0; i < colors_; ++i) {
        Color c = palette[std::size_t(i)];
        entries_[std::size_t(i)] = {redOf(c), greenOf(c), blueOf(c)};
    }
    unset_ = packed(0) ^ 0x100;
    cache_.fill(unset_);
    for (int i = 0; i < colors_; ++i) {
        const RGBTriple& e = entries_[std::size_t(i)];
        int cell = ((e.blue >> 3) << 10) | ((e.green >> 3) << 5) | (e.red >> 3);
        if (cache_[std::size_t(cell)] == unset_)
            cache_[std::size_t(cell)] = packed(i);
        byRed_[std::size_t(i)] = std::uint8_t(i);
    }
    std::stable_sort(byRed_.begin(), byRed_.begin() + colors_,
                     [this](std::uint8_t a, std::uint8_t b) { return entries_[a].red < entries_[b].red; });
}

// The smallest sum of absolute differences, the lowest index among equals.
// Walking out from the asked red in both directions, an entry whose red alone
// differs by more than the best sum so far cannot win, nor can any beyond it.
int TFastColorLookup::nearest(int red, int green, int blue) const
{
    int best = 0;
    int bestDistance = 1 << 30;
    auto consider = [&](int index) {
        const RGBTriple& e = entries_[std::size_t(index)];
        int d = std::abs(e.red - red) + std::abs(e.green - green) + std::abs(e.blue - blue);
        if (d < bestDistance || (d == bestDistance && index < best)) {
            bestDistance = d;
            best = index;
        }
    };
    // First entry with red >= the asked red.
    int lo = 0, hi = colors_;
    while (lo < hi) {
        int mid = (lo + hi) / 2;
        if (entries_[byRed_[std::size_t(mid)]].red < red)
            lo = mid + 1;
        else
            hi = mid;
    }
    int up = lo, down = lo - 1;
    bool upOpen = up < colors_, downOpen = down >= 0;
    while (upOpen || downOpen) {
        if (upOpen) {
            int index = byRed_[std::size_t(up)];
            if (entries_[std::size_t(index)].red - red > bestDistance) {
                upOpen = false;
            } else {
                consider(index);
                upOpen = ++up < colors_;
            }
        }
        if (downOpen) {
            int index = byRed_[std::size_t(down)];
            if (red - entries_[std::size_t(index)].red > bestDistance) {
                downOpen = false;
            } else {
                consider(index);
                downOpen = --down >= 0;
            }
        }
    }
    return best;
}

}  // namespace pelko
