#include "engine/colour/bitmap_frame.h"

#include <algorithm>
#include <stdexcept>

#include "engine/colour/color_lookup.h"
#include "engine/colour/color_reduction.h"
#include "engine/colour/dither.h"
#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_extensions.h"

namespace pelko {

namespace {

constexpr const char* kConverting = "Converting...";
constexpr const char* kRendering = "Rendering...";
constexpr const char* kNoColorTable = "No global or local color table defined";

void progress(const TGIFImage* image, TProgressStage stage, int percent, const char* message)
{
    if (image)
        image->Progress(stage, percent, message);
}

Palette padTo256(Palette p)
{
    p.resize(256, 0);
    return p;
}

// 24-bit rows into indices, building the map through a ring of the last
// eight colours met.
void readTrueColor(TGIFSubImage& frame, const Bitmap& src, const TGIFImage* image)
{
    struct Slot {
        Color color = 0;
        int index = 0;
        bool used = false;
    };
    Slot ring[8];
    int current = 0;
    TGIFLocalColorMap& map = frame.ColorMap();
    const int w = src.width(), h = src.height();
    const int step = src.pixelFormat() == pf32bit ? 4 : 3;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = src.scanline(y);
        std::uint8_t* out = frame.GetScanline(y);
        for (int x = 0; x < w; ++x, in += step) {
            const Color c = rgb(in[2], in[1], in[0]);
            int k = current;
            int found = -1;
            do {
                if (!ring[k].used)
                    break;
                if (ring[k].color == c) {
                    found = ring[k].index;
                    current = k;
                    break;
                }
                k = (k + 7) & 7;
            } while (k != current);
            if (found < 0) {
                found = map.AddUnique(c);
                current = (current + 1) & 7;
                ring[current] = {c, found, true};
            }
            out[x] = std::uint8_t(found);
        }
        if (y % 32 == 0)
            progress(image, psRunning, y * 100 / h, kConverting);
    }
}

void readIndexed(TGIFSubImage& frame, const Bitmap& src, const TGIFImage* image)
{
    frame.ColorMap().ImportPalette(src.palette());
    const int w = src.width(), h = src.height();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* out = frame.GetScanline(y);
        if (src.pixelFormat() == pf8bit) {
            std::copy(src.scanline(y), src.scanline(y) + w, out);
        } else {
            for (int x = 0; x < w; ++x) out[x] = std::uint8_t(src.index(x, y));
        }
        if (y % 32 == 0)
            progress(image, psRunning, y * 100 / h, kConverting);
    }
}

// Pixel data that holds every pixel of the frame's bounds.
bool hasPixels(const TGIFSubImage& f)
{
    return !f.GetEmpty() && f.Data().size() >= std::size_t(f.GetWidth()) * std::size_t(f.GetHeight());
}

const Palette& webPalette()
{
    static const Palette p = WebPalette();
    return p;
}

}  // namespace

Bitmap NewDIBWriterBitmap(int width, int height, TPixelFormat format, const Palette& palette)
{
    if (format != pf8bit && format != pf24bit)
        throw GIFException("Unsupported PixelFormat");
    if (width <= 0 || height <= 0)
        throw GIFException("Invalid image dimensions");
    Bitmap b(width, height, format);
    if (format == pf8bit)
        b.setPalette(padTo256(palette));
    return b;
}

void ApplyMask(TGIFSubImage& frame, const Bitmap& mask)
{
    if (frame.GetEmpty())
        return;
    TGIFLocalColorMap& map = frame.ColorMap();
    map.Optimize();
    const int count = map.GetCount();
    if (count < 1 || count > 255)
        return;
    const int t = map.Add(rgb(0, 0, 0));
    const int w = std::min(frame.GetWidth(), mask.width());
    const int h = std::min(frame.GetHeight(), mask.height());
    bool any = false;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = frame.GetScanline(y);
        if (mask.pixelFormat() == pf1bit) {
            // a byte of eight pixels at a time, most significant bit first
            const std::uint8_t* bits = mask.scanline(y);
            for (int x = 0; x < w; x += 8) {
                const std::uint8_t b = bits[x >> 3];
                if (b == 0)
                    continue;
                for (int k = 0; k < 8 && x + k < w; ++k)
                    if (b & (0x80 >> k)) {
                        row[x + k] = std::uint8_t(t);
                        any = true;
                    }
            }
            continue;
        }
        for (int x = 0; x < w; ++x) {
            if (mask.pixelFormat() == pf24bit || mask.pixelFormat() == pf32bit ? mask.color(x, y) != 0
                                                                               : mask.index(x, y) != 0) {
                row[x] = std::uint8_t(t);
                any = true;
            }
        }
    }
    if (any) {
        auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
        gce->SetTransparent(true);
        gce->storeTransparentColorIndex(t);
        frame.Extensions().Add(std::move(gce));
    } else {
        map.Delete(t);
    }
}

void AssignBitmap(TGIFSubImage& frame, const Bitmap& bitmap)
{
    TGIFImage* image = frame.Image();
    frame.Clear();
    if (bitmap.empty())
        return;
    progress(image, psStarting, 0, kConverting);
    try {
        const TPixelFormat format = bitmap.pixelFormat();
        Bitmap reduced;
        const Bitmap* src = &bitmap;
        if (format != pf1bit && format != pf4bit && format != pf8bit) {
            TColorReduction reduction = image ? image->GetColorReduction() : GIFImageDefaultColorReduction;
            TDitherMode dither = image ? image->GetDitherMode() : GIFImageDefaultDitherMode;
            int bits = image ? image->GetReductionBits() : GIFImageDefaultColorReductionBits;
            reduced = ReduceColors(bitmap, reduction, dither, bits, nullptr);
            src = &reduced;
        }
        if (!src->empty()) {
            frame.SetWidth(src->width());
            frame.SetHeight(src->height());
            switch (src->pixelFormat()) {
                case pf1bit:
                case pf4bit:
                case pf8bit:
                    readIndexed(frame, *src, image);
                    break;
                default:
                    readTrueColor(frame, *src, image);
                    break;
            }
            if (bitmap.transparent()) {
                if (const Bitmap* mask = bitmap.mask()) {
                    ApplyMask(frame, *mask);
                } else {
                    Bitmap withMask = bitmap;
                    withMask.buildMaskFromTransparentColor();
                    ApplyMask(frame, *withMask.mask());
                }
            }
        }
    } catch (...) {
        frame.Clear();
        progress(image, psEnding, 0, kConverting);
        throw;
    }
    progress(image, psEnding, 100, kConverting);
}

int AddBitmap(TGIFImage& image, const Bitmap& bitmap)
{
    auto frame = std::make_unique<TGIFSubImage>(&image);
    AssignBitmap(*frame, bitmap);
    return image.Add(std::move(frame));
}

void AssignImageFromBitmap(TGIFImage& image, const Bitmap& bitmap)
{
    image.Clear();
    AddBitmap(image, bitmap);
}

Palette GetPalette(const TGIFSubImage& frame)
{
    const TGIFImage* image = frame.Image();
    if (image && image->GetDoDither())
        return webPalette();
    if (frame.ColorMap().GetCount() == 0)
        return image ? GetPalette(*image) : Palette();
    return frame.ColorMap().ExportPalette();
}

Palette GetPalette(const TGIFImage& image)
{
    // Finding the image's palette may ask the first frame, which may ask the
    // image again: that means there is no table anywhere.
    thread_local std::vector<const TGIFImage*> asking;
    if (std::find(asking.begin(), asking.end(), &image) != asking.end())
        throw GIFException(kNoColorTable);
    if (image.GetDoDither())
        return webPalette();
    if (image.GetColorMap().GetCount() > 0)
        return image.GetColorMap().ExportPalette();
    if (image.GetEmpty())
        return Palette();
    asking.push_back(&image);
    try {
        Palette p = GetPalette(*image.Images().GetImage(0));
        asking.pop_back();
        return p;
    } catch (...) {
        asking.pop_back();
        throw;
    }
}

Bitmap RenderFrame(const TGIFSubImage& frame, bool dither)
{
    const int w = frame.GetWidth(), h = frame.GetHeight();
    if (w == 0 || h == 0)
        return Bitmap();
    const TGIFImage* image = frame.Image();
    Bitmap out = NewDIBWriterBitmap(w, h, pf8bit, dither ? webPalette() : GetPalette(frame));
    if (!hasPixels(frame))
        return out;

    progress(image, psStarting, 0, kRendering);
    try {
        const bool transparent = frame.GetTransparent() && frame.GraphicControlExtension();
        const int t = transparent ? frame.GraphicControlExtension()->GetTransparentColorIndex() : -1;
        std::unique_ptr<Bitmap> mask;
        if (transparent) {
            mask = std::make_unique<Bitmap>(w, h, pf1bit);
            mask->setPalette(monochromePalette());
        }
        bool anyMasked = false;
        const std::uint8_t* data = frame.Data().data();

        if (!dither) {
            for (int y = 0; y < h; ++y) {
                const std::uint8_t* row = data + std::size_t(y) * std::size_t(w);
                std::copy(row, row + w, out.scanline(y));
                if (mask)
                    for (int x = 0; x < w; ++x)
                        if (row[x] == t) {
                            mask->setIndex(x, y, 1);
                            anyMasked = true;
                        }
                if (y % 32 == 0)
                    progress(image, psRunning, y * 100 / h, kRendering);
            }
        } else {
            const TGIFColorMap& map = frame.GetActiveColorMap();
            TNetscapeColorLookup lookup;
            TFloydSteinbergDitherer ditherer(w, lookup);
            RGBTriple chosen;
            int fill = 0;
            if (transparent && t < map.GetCount()) {
                const TGIFColor& c = map.Entry(t);
                fill = lookup.lookup(c.Red, c.Green, c.Blue, chosen);
            }
            for (int y = 0; y < h; ++y) {
                const std::uint8_t* row = data + std::size_t(y) * std::size_t(w);
                std::uint8_t* o = out.scanline(y);
                for (int i = 0; i < w; ++i) {
                    const int x = ditherer.column();
                    const int p = row[x];
                    if (p == t) {
                        o[x] = std::uint8_t(fill);
                        mask->setIndex(x, y, 1);
                        anyMasked = true;
                        ditherer.Skip();
                        continue;
                    }
                    TGIFColor c = p < map.GetCount() ? map.Entry(p) : TGIFColor{};
                    o[x] = std::uint8_t(ditherer.Dither(c.Red, c.Green, c.Blue, chosen));
                }
                ditherer.NextLine();
                if (y % 32 == 0)
                    progress(image, psRunning, y * 100 / h, kRendering);
            }
        }
        if (transparent) {
            out.setTransparent(true);
            const TGIFColorMap& map = frame.GetActiveColorMap();
            if (t < map.GetCount()) {
                const TGIFColor& c = map.Entry(t);
                out.setTransparentColor(rgb(c.Red, c.Green, c.Blue));
            }
            if (anyMasked)
                out.setMask(std::move(mask));
        }
    } catch (...) {
        progress(image, psEnding, 0, kRendering);
        throw;
    }
    progress(image, psEnding, 100, kRendering);
    return out;
}

Bitmap GetBitmap(const TGIFSubImage& frame)
{
    const TGIFImage* image = frame.Image();
    return RenderFrame(frame, image && image->GetDoDither());
}

Bitmap GetBitmap(const TGIFImage& image)
{
    if (image.GetEmpty() || image.GetWidth() == 0 || image.GetHeight() == 0)
        return Bitmap();
    const TGIFSubImage& first = *image.Images().GetImage(0);
    if (first.GetLeft() == 0 && first.GetTop() == 0 && first.GetWidth() == image.GetWidth() &&
        first.GetHeight() == image.GetHeight())
        return GetBitmap(first);
    Bitmap out(image.GetWidth(), image.GetHeight(), pf24bit);
    out.setPalette(GetPalette(image));
    if (!hasPixels(first))
        return out;
    const TGIFColorMap& map = first.GetActiveColorMap();
    const bool transparent = first.GetTransparent() && first.GraphicControlExtension();
    const int t = transparent ? first.GraphicControlExtension()->GetTransparentColorIndex() : -1;
    const int fw = first.GetWidth();
    for (int y = 0; y < first.GetHeight(); ++y) {
        const int sy = first.GetTop() + y;
        if (sy >= out.height())
            break;
        const std::uint8_t* row = first.Data().data() + std::size_t(y) * std::size_t(fw);
        for (int x = 0; x < fw; ++x) {
            const int sx = first.GetLeft() + x;
            if (sx >= out.width())
                break;
            if (row[x] == t || row[x] >= map.GetCount())
                continue;
            const TGIFColor& c = map.Entry(row[x]);
            std::uint8_t* o = out.scanline(sy) + std::size_t(sx) * 3;
            o[0] = c.Blue;
            o[1] = c.Green;
            o[2] = c.Red;
        }
    }
    return out;
}

std::vector<std::uint8_t> SaveToClipboardFormat(TGIFImage& image, Bitmap* bitmap)
{
    if (image.GetEmpty())
        return {};
    if (bitmap)
        *bitmap = GetBitmap(image);
    return image.SaveToBytes();
}

void LoadFromClipboardFormat(TGIFImage& image, TClipboardFormat format,
                             const std::vector<std::uint8_t>* gifData, const Bitmap* bitmap)
{
    if (format == cfGIF && gifData) {
        image.LoadFromBytes(gifData->data(), gifData->size());
    } else if (format == cfBitmap && bitmap) {
        AssignImageFromBitmap(image, *bitmap);
    } else {
        throw std::invalid_argument("Unsupported clipboard format");
    }
}

}  // namespace pelko
