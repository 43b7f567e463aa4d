#include "engine/colour/color_reduction.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <typeinfo>

#include "engine/colour/color_lookup.h"
#include "engine/colour/dither.h"
#include "engine/colour/quantize.h"
#include "engine/gif/gif_exception.h"

namespace pelko {

namespace {

[[noreturn]] void raiseInvalidBitmapList()
{
    throw GIFException("Invalid bitmap list");
}

Palette paletteFromQuantizer(const TColorQuantizer& q, int entries)
{
    Palette leaves = q.colors();
    Palette out(std::size_t(std::max(entries, 0)), 0);
    for (std::size_t i = 0; i < out.size() && i < leaves.size(); ++i) out[i] = leaves[i];
    return out;
}

// 20 system colours around up to 236 quantized ones; unfilled entries black.
Palette systemLayout(const TColorQuantizer& q)
{
    const Palette& sys = systemPalette20();
    Palette out(256, 0);
    std::copy(sys.begin(), sys.begin() + 10, out.begin());
    std::copy(sys.begin() + 10, sys.end(), out.begin() + 246);
    Palette leaves = q.colors();
    for (std::size_t i = 0; i < leaves.size() && i < 236; ++i) out[10 + i] = leaves[i];
    return out;
}

void quantizeInto(TColorQuantizer& q, const Bitmap& bitmap)
{
    q.processImage(bitmap);
}

std::unique_ptr<TColorLookup> makeLookup(TColorReduction reduction, const Palette& palette)
{
    switch (reduction) {
        case rmMonochrome:
            return std::make_unique<TMonochromeLookup>();
        case rmGrayScale:
            return std::make_unique<TGrayScaleLookup>();
        case rmNetscape:
            return std::make_unique<TNetscapeColorLookup>();
        default:
            return std::make_unique<TFastColorLookup>(palette);
    }
}

// The row loop. step(x, r, g, b) returns the index of one pixel.
template <class Step>
void reduceRowsWith(const Bitmap& src, Bitmap& dst, TDitherEngine& ditherer, Step step)
{
    const int width = src.width();
    for (int y = 0; y < src.height(); ++y) {
        const std::uint8_t* in = src.scanline(y);
        std::uint8_t* out = dst.scanline(y);
        int x = ditherer.column();
        const int dir = ditherer.direction();
        for (int i = 0; i < width; ++i, x += dir) {
            const std::uint8_t* p = in + std::size_t(x) * 3;
            out[x] = std::uint8_t(step(p[2], p[1], p[0]));
        }
        ditherer.NextLine();
    }
}

void reduceRows(const Bitmap& src, Bitmap& dst, TDitherEngine& ditherer, TColorLookup& lookup)
{
    RGBTriple chosen;
    // The common pairs run without virtual calls; the results are the same.
    auto* fast = dynamic_cast<TFastColorLookup*>(&lookup);
    auto* fs = dynamic_cast<TFloydSteinbergDitherer*>(&ditherer);
    if (fast && fs) {
        for (int y = 0; y < src.height(); ++y) {
            fs->ditherRow(*fast, src.scanline(y), dst.scanline(y));
            fs->NextLine();
        }
    } else if (fast && typeid(ditherer) == typeid(TDitherEngine)) {
        reduceRowsWith(src, dst, ditherer,
                       [&](int r, int g, int b) { return fast->lookupInline(r, g, b, chosen); });
    } else {
        reduceRowsWith(src, dst, ditherer,
                       [&](int r, int g, int b) { return ditherer.Dither(r, g, b, chosen); });
    }
}

}  // namespace

Palette quantizedPalette(const Bitmap& bitmap, int colors, int colorBits)
{
    TColorQuantizer q(colors, colorBits);
    quantizeInto(q, bitmap);
    return paletteFromQuantizer(q, colors);
}

Palette CreateOptimizedPaletteFromManyBitmaps(const std::vector<const Bitmap*>& bitmaps, int colors,
                                              int colorBits, bool systemColors)
{
    if (bitmaps.empty())
        raiseInvalidBitmapList();
    TColorQuantizer q(systemColors ? 236 : colors, colorBits);
    for (const Bitmap* b : bitmaps)
        if (b)
            quantizeInto(q, *b);
    return systemColors ? systemLayout(q) : paletteFromQuantizer(q, colors);
}

Bitmap ReduceColors(const Bitmap& bitmap, TColorReduction reduction, TDitherMode ditherMode, int bits,
                    const Palette* palette)
{
    if (reduction == rmNone)
        return bitmap.converted(pf24bit);
    if (bitmap.empty())
        return Bitmap();

    // Read the source in 24-bit form.
    Bitmap converted;
    const Bitmap* src = &bitmap;
    if (bitmap.pixelFormat() != pf24bit) {
        converted = bitmap.converted(pf24bit);
        src = &converted;
    }

    Palette pal;
    switch (reduction) {
        case rmWindows20:
            pal = systemPalette20();
            break;
        case rmWindows256:
            pal = halftonePalette256();
            break;
        case rmWindowsGray:
            pal = windowsGrayPalette();
            break;
        case rmMonochrome:
            pal = monochromePalette();
            break;
        case rmGrayScale:
            pal = grayScalePalette();
            break;
        case rmNetscape:
            pal = WebPalette();
            break;
        case rmQuantize: {
            int colors = 1 << std::clamp(bits, 1, 8);
            pal = quantizedPalette(*src, colors, 8);
            break;
        }
        case rmQuantizeWindows: {
            TColorQuantizer q(236, 8);
            quantizeInto(q, *src);
            pal = systemLayout(q);
            break;
        }
        case rmPalette:
            if (palette)
                pal = *palette;
            break;
        default:
            return Bitmap();
    }
    if (pal.size() > 256)
        pal.resize(256);

    auto lookup = makeLookup(reduction, pal);
    if (lookup->colors() == 0)
        return Bitmap();
    auto ditherer = makeDitherer(ditherMode, src->width(), *lookup);

    Bitmap result(src->width(), src->height(), pf8bit);
    Palette table(256, 0);
    std::copy(pal.begin(), pal.end(), table.begin());
    result.setPalette(std::move(table));
    reduceRows(*src, result, *ditherer, *lookup);
    return result;
}

}  // namespace pelko
