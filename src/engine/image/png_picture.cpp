#include "engine/image/png_picture.h"

#include <cstring>

#include "engine/image/pixel_budget.h"

namespace pelko {

Picture pictureFromPngBitmap(const PngBitmap& bitmap)
{
    if (!pictureSizeAllowed(bitmap.width, bitmap.height))
        throw EPNGOutMemory(kPngOutMemory);
    Picture picture(bitmap.width, bitmap.height);
    if (picture.empty() || bitmap.bits.size() < bitmap.stride() * std::size_t(bitmap.height))
        return picture;
    const int bits = bitmap.bitsPerPixel;
    for (int y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* s = bitmap.scanLine(y);
        std::uint8_t* d = picture.row(y);
        if (bits == 24) {
            std::memcpy(d, s, picture.stride());
            continue;
        }
        for (int x = 0; x < bitmap.width; ++x, d += 3) {
            const unsigned index = bitmap.index(s, x);
            const Color c = index < bitmap.palette.size() ? bitmap.palette[index] : 0;
            d[0] = blueOf(c);
            d[1] = greenOf(c);
            d[2] = redOf(c);
        }
    }
    return picture;
}

void loadPngWithinBudget(TPNGObject& png, const std::uint8_t* data, std::size_t size)
{
    const PixelBudget budget = pixelBudget();
    png.MaxWidth = budget.width;
    png.MaxHeight = budget.height;
    png.LoadFromStream(data, size);
}

Picture decodePngPicture(const std::uint8_t* data, std::size_t size)
{
    TPNGObject png;
    loadPngWithinBudget(png, data, size);
    const TChunkIHDR* h = png.header();
    return pictureFromPngBitmap(h->picture);
}

Picture pictureOnWhite(const TPNGObject& png)
{
    const TChunkIHDR* h = png.header();
    if (!h)
        throw EPNGHeaderNotPresent(kPngHeaderNotPresent);
    Picture picture = pictureFromPngBitmap(h->picture);
    const TPNGTransparencyMode mode = png.TransparencyMode();
    const PngBitmap& b = h->picture;
    // A PNG read for its header only has no pixels: it stays white.
    if (mode == ptmNone || b.bits.size() < b.stride() * std::size_t(b.height))
        return picture;
    auto blend = [](std::uint8_t* p, unsigned a) {
        for (int c = 0; c < 3; ++c) p[c] = std::uint8_t((p[c] * a + 255 * (255 - a) + 127) / 255);
    };
    const int w = picture.width();
    if (!h->alpha.empty()) {
        for (int y = 0; y < picture.height(); ++y) {
            std::uint8_t* p = picture.row(y);
            const std::uint8_t* a = h->alpha.data() + std::size_t(y) * std::size_t(w);
            for (int x = 0; x < w; ++x) blend(p + 3 * x, a[x]);
        }
    } else if (h->colorType == kColorPalette) {
        const auto& alphas = png.findChunk("tRNS")->data();
        for (int y = 0; y < picture.height(); ++y) {
            std::uint8_t* p = picture.row(y);
            const std::uint8_t* s = b.scanLine(y);
            for (int x = 0; x < w; ++x) {
                const unsigned index = b.index(s, x);
                if (index < alphas.size())
                    blend(p + 3 * x, alphas[index]);
            }
        }
    } else {
        const Color key = png.TransparentColor();
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < w; ++x)
                if (picture.pixel(x, y) == key)
                    picture.setPixel(x, y, 0xFFFFFF);
    }
    return picture;
}

PngBitmap pngBitmapFromPicture(const Picture& picture)
{
    PngBitmap bitmap;
    bitmap.width = picture.width();
    bitmap.height = picture.height();
    bitmap.bitsPerPixel = 24;
    bitmap.bits.resize(bitmap.stride() * std::size_t(bitmap.height));
    if (picture.empty())
        return bitmap;
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
