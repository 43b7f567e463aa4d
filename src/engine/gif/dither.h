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

#include "engine/gif/color_lookup.h"
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
    int Dither(int red, int green, int blue, RGBTriple& chosen) override;
    void NextLine() override;

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
