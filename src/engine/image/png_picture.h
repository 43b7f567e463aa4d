#pragma once
// PNG files to and from Pictures, through the PNG codec.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/image/picture.h"
#include "engine/png/png_object.h"

namespace pelko {

// The decoded picture of a PNG as 24 bits per pixel (indexed pictures through
// their colour table; the alpha plane is not used).
Picture pictureFromPngBitmap(const PngBitmap& bitmap);
// Reads PNG data; raises the PNG codec's exceptions.
Picture decodePngPicture(const std::uint8_t* data, std::size_t size);
// Loads PNG data into png with the pixel budget as its size limit.
void loadPngWithinBudget(TPNGObject& png, const std::uint8_t* data, std::size_t size);

// The decoded picture drawn on white with its transparency: the alpha plane,
// the alpha of palette entries, or the one transparent colour of tRNS.
Picture pictureOnWhite(const TPNGObject& png);

struct PngWriteOptions {
    TCompressionLevel compressionLevel = 7;
    TInterlaceMethod interlace = imNone;
    bool transparent = false;  // store transparentColor in tRNS
    Color transparentColor = 0;
};

PngBitmap pngBitmapFromPicture(const Picture& picture);
// A 24-bit PNG of the picture, written with the filter Sub.
std::vector<std::uint8_t> encodePngPicture(const Picture& picture, const PngWriteOptions& options = {});

}  // namespace pelko
