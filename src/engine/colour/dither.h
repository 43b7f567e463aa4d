#pragma once
// Ditherers: each pixel of a row passes through Dither(), which may add the
// error left by pixels already done, picks the palette index through the
// colour lookup, and spreads the pixel's own error to pixels not yet done.
// Rows run serpentine: left to right first, then reversing after every row;
// the caller reads the source at column() and steps by direction().
//
// Errors are kept per channel in rows of 32-bit integers, in units of
// 1/divisor of a colour step, with margins so that kernels never leave a row.
// Everything is allocated at creation; a pixel costs a few additions and one
// lookup.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/colour/color_lookup.h"
#include "engine/gif/color_modes.h"

namespace pelko {

// dmNearest: no diffusion, just the lookup.
class TDitherEngine {
public:
    TDitherEngine(int width, TColorLookup& lookup) : lookup_(lookup), width_(width) {}
    virtual ~TDitherEngine() = default;
    TDitherEngine(const TDitherEngine&) = delete;
    TDitherEngine& operator=(const TDitherEngine&) = delete;

    virtual int Dither(int red, int green, int blue, RGBTriple& chosen)
    {
        column_ += direction_;
        return lookup_.lookup(red, green, blue, chosen);
    }
    virtual void NextLine()
    {
        direction_ = -direction_;
        column_ = direction_ > 0 ? 0 : width_ - 1;
    }
    // Steps over a pixel that is not drawn (a transparent one): it takes no
    // error and passes none on.
    virtual void Skip() { column_ += direction_; }

    int column() const { return column_; }
    int direction() const { return direction_; }
    int width() const { return width_; }

protected:
    static int clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

    TColorLookup& lookup_;
    int width_;
    int direction_ = 1;
    int column_ = 0;
};

// Floyd-Steinberg with one row buffer per channel and the pending values of
// the slots being completed (7/16 ahead, 3/16, 5/16 and 1/16 below).
class TFloydSteinbergDitherer final : public TDitherEngine {
public:
    TFloydSteinbergDitherer(int width, TColorLookup& lookup);
    int Dither(int red, int green, int blue, RGBTriple& chosen) override
    {
        return step(lookup_, red, green, blue, chosen);
    }
    void NextLine() override;
    void Skip() override;

    // Dither() with a lookup whose type the caller knows, so that the hot
    // loop of a reduction makes no virtual call.
    template <class Lookup>
    int step(Lookup& lookup, int red, int green, int blue, RGBTriple& chosen)
    {
        const std::size_t p = std::size_t(p_);
        const int value[3] = {
            clamp255(red + (channels_[0].buffer[p] + channels_[0].c + 8) / 16),
            clamp255(green + (channels_[1].buffer[p] + channels_[1].c + 8) / 16),
            clamp255(blue + (channels_[2].buffer[p] + channels_[2].c + 8) / 16),
        };
        int index;
        if constexpr (requires { lookup.lookupInline(0, 0, 0, chosen); })
            index = lookup.lookupInline(value[0], value[1], value[2], chosen);
        else
            index = lookup.lookup(value[0], value[1], value[2], chosen);
        column_ += direction_;
        const int got[3] = {chosen.red, chosen.green, chosen.blue};
        for (int i = 0; i < 3; ++i) {
            Channel& ch = channels_[i];
            const int e = value[i] - got[i];
            if (e == 0) {
                // An exact colour: nothing to carry, and the slot and the
                // pending values stay as they are.
                ch.c = 0;
                continue;
            }
            ch.buffer[p] = ch.bp + 3 * e;
            ch.bp = ch.b + 5 * e;
            ch.b = e;
            ch.c = 7 * e;
        }
        p_ += direction_;
        return index;
    }

    // One whole row with a lookup whose type the caller knows: the same as
    // Dither() for each pixel from column() in direction() (reading blue,
    // green, red triples from bgr and writing indices to out), with the
    // running values kept in registers. NextLine() is left to the caller.
    template <class Lookup>
    void ditherRow(Lookup& lookup, const std::uint8_t* bgr, std::uint8_t* out)
    {
        std::int32_t* const buf0 = channels_[0].buffer.data();
        std::int32_t* const buf1 = channels_[1].buffer.data();
        std::int32_t* const buf2 = channels_[2].buffer.data();
        std::int32_t c0 = channels_[0].c, b0 = channels_[0].b, bp0 = channels_[0].bp;
        std::int32_t c1 = channels_[1].c, b1 = channels_[1].b, bp1 = channels_[1].bp;
        std::int32_t c2 = channels_[2].c, b2 = channels_[2].b, bp2 = channels_[2].bp;
        const int dir = direction_;
        int p = p_, x = column_;
        RGBTriple chosen;
        for (int i = 0; i < width_; ++i, x += dir, p += dir) {
            const std::uint8_t* px = bgr + std::size_t(x) * 3;
            const int v0 = clamp255(px[2] + (buf0[p] + c0 + 8) / 16);
            const int v1 = clamp255(px[1] + (buf1[p] + c1 + 8) / 16);
            const int v2 = clamp255(px[0] + (buf2[p] + c2 + 8) / 16);
            out[x] = std::uint8_t(lookup.lookupInline(v0, v1, v2, chosen));
            const int e0 = v0 - chosen.red, e1 = v1 - chosen.green, e2 = v2 - chosen.blue;
            // An exact channel (e == 0) leaves its slot and pending values
            // alone; m is all ones when the channel has an error.
            const std::int32_t m0 = -std::int32_t(e0 != 0), m1 = -std::int32_t(e1 != 0),
                               m2 = -std::int32_t(e2 != 0);
            buf0[p] = (buf0[p] & ~m0) | ((bp0 + 3 * e0) & m0);
            bp0 = (bp0 & ~m0) | ((b0 + 5 * e0) & m0);
            b0 = (b0 & ~m0) | e0;
            c0 = 7 * e0;
            buf1[p] = (buf1[p] & ~m1) | ((bp1 + 3 * e1) & m1);
            bp1 = (bp1 & ~m1) | ((b1 + 5 * e1) & m1);
            b1 = (b1 & ~m1) | e1;
            c1 = 7 * e1;
            buf2[p] = (buf2[p] & ~m2) | ((bp2 + 3 * e2) & m2);
            bp2 = (bp2 & ~m2) | ((b2 + 5 * e2) & m2);
            b2 = (b2 & ~m2) | e2;
            c2 = 7 * e2;
        }
        channels_[0].c = c0, channels_[0].b = b0, channels_[0].bp = bp0;
        channels_[1].c = c1, channels_[1].b = b1, channels_[1].bp = bp1;
        channels_[2].c = c2, channels_[2].b = b2, channels_[2].bp = bp2;
        p_ = p;
        column_ = x;
    }

    // For tests: the row buffer of a channel (0 red, 1 green, 2 blue) and the
    // carried, pending and pending-previous values.
    const std::vector<std::int32_t>& buffer(int channel) const { return channels_[channel].buffer; }
    std::int32_t carried(int channel) const { return channels_[channel].c; }
    std::int32_t pending(int channel) const { return channels_[channel].b; }
    std::int32_t pendingPrevious(int channel) const { return channels_[channel].bp; }
    int position() const { return p_; }

private:
    struct Channel {
        std::vector<std::int32_t> buffer;
        std::int32_t c = 0, b = 0, bp = 0;
    };
    Channel channels_[3];
    int p_ = 0;
};

// One weight of an error kernel: row below the current one (0 = this row),
// offset in the row's direction, weight.
struct KernelTap {
    int row;
    int offset;
    int weight;
};

// The kernel ditherers: Stucki, Sierra, JaJuNi (5 x 3), Burkes (5 x 2) and
// Steve Arche (7 x 4). Each keeps `rows` error rows of width + 2 * margin
// slots per channel.
class TKernelDitherer : public TDitherEngine {
public:
    int Dither(int red, int green, int blue, RGBTriple& chosen) override;
    void NextLine() override;
    void Skip() override
    {
        column_ += direction_;
        slot_ += direction_;
    }

protected:
    TKernelDitherer(int width, TColorLookup& lookup, int rows, int margin, int divisor,
                    std::vector<KernelTap> kernel);

private:
    int rows_, margin_, divisor_;
    std::vector<KernelTap> kernel_;
    std::vector<std::int32_t> storage_;
    // rowPtr_[channel * rows_ + r]: row r of a channel (rotated by NextLine).
    std::vector<std::int32_t*> rowPtr_;
    int slot_;
};

class T5by3Ditherer : public TKernelDitherer {
protected:
    T5by3Ditherer(int width, TColorLookup& lookup, int divisor, std::vector<KernelTap> kernel)
        : TKernelDitherer(width, lookup, 3, 2, divisor, std::move(kernel))
    {
    }
};

class TStuckiDitherer final : public T5by3Ditherer {
public:
    TStuckiDitherer(int width, TColorLookup& lookup);
};
class TSierraDitherer final : public T5by3Ditherer {
public:
    TSierraDitherer(int width, TColorLookup& lookup);
};
class TJaJuNiDitherer final : public T5by3Ditherer {
public:
    TJaJuNiDitherer(int width, TColorLookup& lookup);
};
class TBurkesDitherer final : public TKernelDitherer {
public:
    TBurkesDitherer(int width, TColorLookup& lookup);
};
class TSteveArcheDitherer final : public TKernelDitherer {
public:
    TSteveArcheDitherer(int width, TColorLookup& lookup);
};

// The ditherer of a mode (an unknown mode gives the plain lookup).
std::unique_ptr<TDitherEngine> makeDitherer(TDitherMode mode, int width, TColorLookup& lookup);

}  // namespace pelko
