#pragma once
// Colour lookups: map a true colour to a palette index and give back the
// palette colour of that index (the ditherers need it for their error).

#include <array>
#include <cstdint>

#include "engine/gif/palette.h"

namespace pelko {

struct RGBTriple {
    int red = 0, green = 0, blue = 0;
};

class TColorLookup {
public:
    explicit TColorLookup(int colors) : colors_(colors) {}
    virtual ~TColorLookup() = default;
    int colors() const { return colors_; }
    // red, green, blue in 0..255. Returns the index; chosen gets its colour.
    virtual int lookup(int red, int green, int blue, RGBTriple& chosen) = 0;

protected:
    int colors_;
};

// Nearest palette colour by the sum of absolute differences, remembered per
// 15-bit colour cell: the first colour asked in a cell decides the answer for
// every later colour of that cell.
class TFastColorLookup final : public TColorLookup {
public:
    explicit TFastColorLookup(const Palette& palette);
    int lookup(int red, int green, int blue, RGBTriple& chosen) override { return lookupInline(red, green, blue, chosen); }

    // The same as lookup(), for callers that know the type.
    int lookupInline(int red, int green, int blue, RGBTriple& chosen)
    {
        int cell = ((blue >> 3) << 10) | ((green >> 3) << 5) | (red >> 3);
        int index = cache_[std::size_t(cell)];
        if (index < 0) {
            index = nearest(red, green, blue);
            cache_[std::size_t(cell)] = std::int16_t(index);
        }
        chosen = entries_[std::size_t(index)];
        return index;
    }

private:
    int nearest(int red, int green, int blue) const;

    std::array<RGBTriple, 256> entries_{};
    // Entry indices sorted by red (ties by index), for a search that stops
    // once red alone is farther than the best distance found.
    std::array<std::uint8_t, 256> byRed_{};
    std::array<std::int16_t, 32768> cache_;
};

// The 216-colour web palette, computed.
class TNetscapeColorLookup final : public TColorLookup {
public:
    TNetscapeColorLookup() : TColorLookup(216) {}
    int lookup(int red, int green, int blue, RGBTriple& chosen) override
    {
        int qr = (red + 3) / 51, qg = (green + 3) / 51, qb = (blue + 3) / 51;
        chosen = {51 * qr, 51 * qg, 51 * qb};
        return 36 * qr + 6 * qg + qb;
    }
};

// 256 greys by luminance.
class TGrayScaleLookup final : public TColorLookup {
public:
    TGrayScaleLookup() : TColorLookup(256) {}
    int lookup(int red, int green, int blue, RGBTriple& chosen) override
    {
        int grey = (77 * red + 150 * green + 29 * blue) >> 8;
        chosen = {grey, grey, grey};
        return grey;
    }
};

// Black below the luminance threshold, white from it on.
class TMonochromeLookup final : public TColorLookup {
public:
    TMonochromeLookup() : TColorLookup(2) {}
    int lookup(int red, int green, int blue, RGBTriple& chosen) override
    {
        if (77 * red + 150 * green + 29 * blue < 32513) {
            chosen = {0, 0, 0};
            return 0;
        }
        chosen = {255, 255, 255};
        return 1;
    }
};

}  // namespace pelko
