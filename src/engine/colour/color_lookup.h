#pragma once
// Colour lookups: map a true colour to a palette index and give back the
// palette colour of that index (the ditherers need it for their error).

#include <array>
#include <cstdint>

#include "engine/colour/palette.h"

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
    int lookup(int red, int green, int blue, RGBTriple& chosen) override
    {
        return lookupInline(red, green, blue, chosen);
    }

    // The same as lookup(), for callers that know the type.
    int lookupInline(int red, int green, int blue, RGBTriple& chosen)
    {
        const std::size_t cell = std::size_t(((blue >> 3) << 10) | ((green >> 3) << 5) | (red >> 3));
        std::uint32_t v = cache_[cell];
        if (v == unset_) {
            v = packed(nearest(red, green, blue));
            cache_[cell] = v;
        }
        chosen = {int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)};
        return int(v & 0xFF);
    }

private:
    int nearest(int red, int green, int blue) const;

    std::array<RGBTriple, 256> entries_{};
    // Entry indices sorted by red (ties by index), for a search that stops
    // once red alone is farther than the best distance found.
    std::array<std::uint8_t, 256> byRed_{};
    // A cell's answer holds the index and its colour, so that the ditherers'
    // serial chain makes one load per pixel: index | red << 8 | green << 16 |
    // blue << 24. unset_ is entry 0 with a colour it does not have.
    std::uint32_t packed(int index) const
    {
        const RGBTriple& e = entries_[std::size_t(index)];
        return std::uint32_t(index) | std::uint32_t(e.red) << 8 | std::uint32_t(e.green) << 16 |
               std::uint32_t(e.blue) << 24;
    }
    std::uint32_t unset_ = 0;
    std::array<std::uint32_t, 32768> cache_;
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
