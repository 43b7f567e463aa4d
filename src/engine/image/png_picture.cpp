#include "engine/image/png_picture.h"

#include <cstring>

namespace pelko {

Picture pictureFromPngBitmap(const PngBitmap& bitmap)
{
    if (!pictureSizeAllowed(bitmap.width, bitmap.height))
        throw EPNGOutMemory(kPngOutMemory);
    Picture picture(bitmap.width, bitmap.height);
    const int bits = bitmap.bitsPerPixel;
    for (int y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* s = bitmap.scanLine(y);
        std::uint8_t* d = picture.row(y);
        if (bits == 24) {
            std::memcpy(d, s, picture.stride());
            continue;
        }
        for (int x = 0; x < bitmap.width; ++x, d += 3) {
            unsigned index;
            if (bits == 8)
                index = s[x];
            else if (bits == 4)
                index = (s[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
            else
                index = (s[x >> 3] >> (7 - (x & 7))) & 1;
            const Color c = index < bitmap.palette.size() ? bitmap.palette[index] : 0;
            d[0] = blueOf(c);
            d[1] = greenOf(c);
            d[2] = redOf(c);
        }
    }
    return picture;
}

Picture decodePngPicture(const std::uint8_t* data, std::size_t size)
{
    TPNGObject png;
    png.LoadFromStream(data, size);
    const TChunkIHDR* h = png.header();
    return pictureFromPngBitmap(h->picture);
}

PngBitmap pngBitmapFromPicture(const Picture& picture)
{
    PngBitmap bitmap;
    bitmap.width = picture.width();
    bitmap.height = picture.height();
    bitmap.bitsPerPixel = 24;
    bitmap.bits.resize(bitmap.stride() * std::size_t(bitmap.height));
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(bitmap.scanLine(y), picture.row(y), picture.stride());
    return bitmap;
}

std::vector<std::uint8_t> encodePngPicture(const Picture& picture, const PngWriteOptions& options)
{
    PngBitmap bitmap = pngBitmapFromPicture(picture);
    bitmap.transparent = options.transparent;
    bitmap.transparentColor = options.transparentColor;
    TPNGObject png;
    png.CompressionLevel = options.compressionLevel;
    png.InterlaceMethod = options.interlace;
    png.Assign(bitmap);
    std::vector<std::uint8_t> out;
    png.SaveToStream(out);
    return out;
}

}  // namespace pelko
