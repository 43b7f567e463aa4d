#include "engine/png/png_chunks.h"

#include <algorithm>

#include "engine/png/png_errors.h"

namespace pelko {

void TChunk::Assign(const TChunk& other)
{
    if (other.type_ != type_)
        throw EPngError(kPngIncompatibleChunks);
    if (&other != this)
        assignFrom(other);
}

bool pngColorTypeAllows(int colorType, int bitDepth)
{
    switch (colorType) {
        case kColorGrayscale:
            return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
        case kColorPalette:
            return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
        case kColorRgb:
        case kColorGrayscaleAlpha:
        case kColorRgbAlpha:
            return bitDepth == 8 || bitDepth == 16;
    }
    return false;
}

int TChunkIHDR::channels() const
{
    switch (colorType) {
        case kColorRgb:
            return 3;
        case kColorGrayscaleAlpha:
            return 2;
        case kColorRgbAlpha:
            return 4;
        default:
            return 1;
    }
}

int TChunkIHDR::pictureBits() const
{
    if (colorType == kColorRgb || colorType == kColorRgbAlpha)
        return 24;
    if (bitDepth == 2)
        return 4;
    return std::min<int>(bitDepth, 8);
}

std::uint32_t TChunkPLTE::Item(int index) const
{
    if (index < 0 || index >= count())
        throw EPngError(kPngUnknownPaletteEntry);
    return entries[std::size_t(index)];
}

std::string TChunktEXt::keyword() const
{
    const auto& d = data();
    auto zero = std::find(d.begin(), d.end(), std::uint8_t(0));
    return std::string(d.begin(), zero);
}

std::string TChunktEXt::text() const
{
    const auto& d = data();
    auto zero = std::find(d.begin(), d.end(), std::uint8_t(0));
    return zero == d.end() ? std::string() : std::string(zero + 1, d.end());
}

}  // namespace pelko
