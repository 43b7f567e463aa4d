#include "engine/colour/dither.h"

namespace pelko {

// ---- Floyd-Steinberg ----------------------------------------------------

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width, TColorLookup& lookup)
    : TDitherEngine(width, lookup)
{
    for (Channel& ch : channels_) ch.buffer.assign(std::size_t(width) + 2, 0);
}

void TFloydSteinbergDitherer::NextLine()
{
    for (Channel& ch : channels_) {
        ch.buffer[std::size_t(p_)] = ch.bp;
        ch.c = ch.b = ch.bp = 0;
    }
    TDitherEngine::NextLine();
    p_ = direction_ > 0 ? 0 : width_ + 1;
}

void TFloydSteinbergDitherer::Skip()
{
    // The slot under the skipped pixel is complete: it gets what the pixels
    // before left for it, and the pending values move on one slot.
    for (Channel& ch : channels_) {
        ch.buffer[std::size_t(p_)] = ch.bp;
        ch.bp = ch.b;
        ch.b = 0;
        ch.c = 0;
    }
    column_ += direction_;
    p_ += direction_;
}

// ---- kernel ditherers ---------------------------------------------------

TKernelDitherer::TKernelDitherer(int width, TColorLookup& lookup, int rows, int margin, int divisor,
                                 std::vector<KernelTap> kernel)
    : TDitherEngine(width, lookup),
      rows_(rows),
      margin_(margin),
      divisor_(divisor),
      kernel_(std::move(kernel)),
      slot_(margin)
{
    const std::size_t slots = std::size_t(width) + 2 * std::size_t(margin);
    storage_.assign(slots * std::size_t(rows) * 3, 0);
    rowPtr_.resize(std::size_t(rows) * 3);
    for (std::size_t i = 0; i < rowPtr_.size(); ++i) rowPtr_[i] = storage_.data() + i * slots;
}

int TKernelDitherer::Dither(int red, int green, int blue, RGBTriple& chosen)
{
    const int half = divisor_ / 2;
    int value[3] = {red, green, blue};
    for (int i = 0; i < 3; ++i) {
        const std::int32_t* row0 = rowPtr_[std::size_t(i * rows_)];
        value[i] = clamp255(value[i] + (row0[slot_] + half) / divisor_);
    }
    int index = lookup_.lookup(value[0], value[1], value[2], chosen);
    column_ += direction_;
    const int got[3] = {chosen.red, chosen.green, chosen.blue};
    for (int i = 0; i < 3; ++i) {
        int e = value[i] - got[i];
        if (e == 0)
            continue;
        std::int32_t* const* rows = &rowPtr_[std::size_t(i * rows_)];
        for (const KernelTap& t : kernel_) rows[t.row][slot_ + t.offset * direction_] += t.weight * e;
    }
    slot_ += direction_;
    return index;
}

void TKernelDitherer::NextLine()
{
    const std::size_t slots = std::size_t(width_) + 2 * std::size_t(margin_);
    for (int i = 0; i < 3; ++i) {
        std::int32_t** rows = &rowPtr_[std::size_t(i * rows_)];
        std::int32_t* cleared = rows[0];
        for (std::size_t s = 0; s < slots; ++s) cleared[s] = 0;
        for (int r = 0; r + 1 < rows_; ++r) rows[r] = rows[r + 1];
        rows[rows_ - 1] = cleared;
    }
    TDitherEngine::NextLine();
    slot_ = direction_ > 0 ? margin_ : width_ + margin_ - 1;
}

TStuckiDitherer::TStuckiDitherer(int width, TColorLookup& lookup)
    : T5by3Ditherer(width, lookup, 42,
                    {{0, 1, 8},
                     {0, 2, 4},  //
                     {1, -2, 2},
                     {1, -1, 4},
                     {1, 0, 8},
                     {1, 1, 4},
                     {1, 2, 2},  //
                     {2, -2, 1},
                     {2, -1, 2},
                     {2, 0, 4},
                     {2, 1, 2},
                     {2, 2, 1}})
{
}

TSierraDitherer::TSierraDitherer(int width, TColorLookup& lookup)
    : T5by3Ditherer(width, lookup, 32,
                    {{0, 1, 5},
                     {0, 2, 3},  //
                     {1, -2, 2},
                     {1, -1, 4},
                     {1, 0, 5},
                     {1, 1, 4},
                     {1, 2, 2},  //
                     {2, -1, 2},
                     {2, 0, 3},
                     {2, 1, 2}})
{
}

TJaJuNiDitherer::TJaJuNiDitherer(int width, TColorLookup& lookup)
    : T5by3Ditherer(width, lookup, 48,
                    {{0, 1, 7},
                     {0, 2, 5},  //
                     {1, -2, 3},
                     {1, -1, 5},
                     {1, 0, 7},
                     {1, 1, 5},
                     {1, 2, 3},  //
                     {2, -2, 1},
                     {2, -1, 3},
                     {2, 0, 5},
                     {2, 1, 3},
                     {2, 2, 1}})
{
}

TBurkesDitherer::TBurkesDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, 2, 2, 32,
                      {{0, 1, 8},
                       {0, 2, 4},  //
                       {1, -2, 2},
                       {1, -1, 4},
                       {1, 0, 8},
                       {1, 1, 4},
                       {1, 2, 2}})
{
}

TSteveArcheDitherer::TSteveArcheDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, 4, 3, 200,
                      {{0, 2, 32},  //
                       {1, -3, 12},
                       {1, -1, 26},
                       {1, 1, 30},
                       {1, 3, 16},  //
                       {2, -2, 12},
                       {2, 0, 26},
                       {2, 2, 12},  //
                       {3, -3, 5},
                       {3, -1, 12},
                       {3, 1, 12},
                       {3, 3, 5}})
{
}

std::unique_ptr<TDitherEngine> makeDitherer(TDitherMode mode, int width, TColorLookup& lookup)
{
    switch (mode) {
        case dmFloydSteinberg:
            return std::make_unique<TFloydSteinbergDitherer>(width, lookup);
        case dmStucki:
            return std::make_unique<TStuckiDitherer>(width, lookup);
        case dmSierra:
            return std::make_unique<TSierraDitherer>(width, lookup);
        case dmJaJuNI:
            return std::make_unique<TJaJuNiDitherer>(width, lookup);
        case dmSteveArche:
            return std::make_unique<TSteveArcheDitherer>(width, lookup);
        case dmBurkes:
            return std::make_unique<TBurkesDitherer>(width, lookup);
        case dmNearest:
        default:
            return std::make_unique<TDitherEngine>(width, lookup);
    }
}

}  // namespace pelko
