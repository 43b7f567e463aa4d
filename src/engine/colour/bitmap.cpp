#include "engine/colour/bitmap.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace pelko {

int bitsPerPixel(TPixelFormat format)
{
    switch (format) {
        case pf1bit:
            return 1;
        case pf4bit:
            return 4;
        case pf8bit:
            return 8;
        case pf24bit:
            return 24;
        case pf32bit:
            return 32;
    }
    return 24;
}

namespace {

std::size_t strideFor(int width, TPixelFormat format)
{
    return (std::size_t(width) * std::size_t(bitsPerPixel(format)) + 31) / 32 * 4;
}

bool indexed(TPixelFormat f)
{
    return f == pf1bit || f == pf4bit || f == pf8bit;
}

// Default palette for a narrowing conversion without one.
Palette defaultPalette(TPixelFormat f)
{
    int n = 1 << bitsPerPixel(f);
    Palette p(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        auto v = std::uint8_t(i * 255 / (n - 1));
        p[std::size_t(i)] = rgb(v, v, v);
    }
    return p;
}

}  // namespace

Bitmap::Bitmap(int width, int height, TPixelFormat format) : format_(format)
{
    if (!pictureSizeAllowed(width, height))
        throw std::length_error("Bitmap size out of range");
    width_ = width;
    height_ = height;
    stride_ = strideFor(width, format);
    data_.assign(stride_ * std::size_t(height), 0);
}

Bitmap::Bitmap(const Bitmap& o)
    : width_(o.width_),
      height_(o.height_),
      format_(o.format_),
      stride_(o.stride_),
      data_(o.data_),
      palette_(o.palette_),
      transparent_(o.transparent_),
      transparentColor_(o.transparentColor_),
      mask_(o.mask_ ? std::make_unique<Bitmap>(*o.mask_) : nullptr)
{
}

Bitmap& Bitmap::operator=(const Bitmap& o)
{
    if (this != &o) {
        Bitmap copy(o);
        *this = std::move(copy);
    }
    return *this;
}

int Bitmap::index(int x, int y) const
{
    const std::uint8_t* row = scanline(y);
    switch (format_) {
        case pf1bit:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case pf4bit:
            return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        case pf8bit:
            return row[x];
        default:
            return 0;
    }
}

void Bitmap::setIndex(int x, int y, int value)
{
    std::uint8_t* row = scanline(y);
    switch (format_) {
        case pf1bit: {
            std::uint8_t bit = std::uint8_t(0x80 >> (x & 7));
            row[x >> 3] = (value & 1) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit);
            break;
        }
        case pf4bit:
            if (x & 1)
                row[x >> 1] = std::uint8_t((row[x >> 1] & 0xF0) | (value & 0x0F));
            else
                row[x >> 1] = std::uint8_t((row[x >> 1] & 0x0F) | ((value & 0x0F) << 4));
            break;
        case pf8bit:
            row[x] = std::uint8_t(value);
            break;
        default:
            break;
    }
}

Color Bitmap::color(int x, int y) const
{
    if (indexed(format_)) {
        std::size_t i = std::size_t(index(x, y));
        return i < palette_.size() ? palette_[i] : 0;
    }
    const std::uint8_t* p = scanline(y) + std::size_t(x) * (format_ == pf32bit ? 4 : 3);
    return rgb(p[2], p[1], p[0]);
}

Bitmap Bitmap::converted(TPixelFormat format) const
{
    Bitmap out(width_, height_, format);
    out.transparent_ = transparent_;
    out.transparentColor_ = transparentColor_;
    if (mask_)
        out.mask_ = std::make_unique<Bitmap>(*mask_);
    if (format == format_) {
        out.data_ = data_;
        out.palette_ = palette_;
        return out;
    }
    if (!indexed(format)) {
        out.palette_ = palette_;
        int bpp = format == pf32bit ? 4 : 3;
        for (int y = 0; y < height_; ++y) {
            std::uint8_t* d = out.scanline(y);
            for (int x = 0; x < width_; ++x, d += bpp) {
                Color c = color(x, y);
                d[0] = blueOf(c);
                d[1] = greenOf(c);
                d[2] = redOf(c);
            }
        }
        return out;
    }
    // Narrowing: nearest palette colour (sum of absolute differences).
    std::size_t maxColors = std::size_t(1) << bitsPerPixel(format);
    Palette pal = palette_.empty() ? defaultPalette(format) : palette_;
    if (pal.size() > maxColors)
        pal.resize(maxColors);
    out.palette_ = pal;
    for (int y = 0; y < height_; ++y) {
        Color lastColor = 0;
        int lastIndex = -1;
        for (int x = 0; x < width_; ++x) {
            Color c = color(x, y);
            if (lastIndex < 0 || c != lastColor) {
                int best = 0, bestDist = 1 << 30;
                for (std::size_t i = 0; i < pal.size(); ++i) {
                    int d = std::abs(redOf(pal[i]) - redOf(c)) + std::abs(greenOf(pal[i]) - greenOf(c)) +
                            std::abs(blueOf(pal[i]) - blueOf(c));
                    if (d < bestDist) {
                        bestDist = d;
                        best = int(i);
                    }
                }
                lastColor = c;
                lastIndex = best;
            }
            out.setIndex(x, y, lastIndex);
        }
    }
    return out;
}

void Bitmap::setPixelFormat(TPixelFormat format)
{
    if (format == format_)
        return;
    *this = converted(format);
}

void Bitmap::buildMaskFromTransparentColor()
{
    auto m = std::make_unique<Bitmap>(width_, height_, pf1bit);
    m->setPalette(monochromePalette());
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (color(x, y) == transparentColor_)
                m->setIndex(x, y, 1);
    mask_ = std::move(m);
}

Bitmap Bitmap::fromPicture(const Picture& picture)
{
    Bitmap out(picture.width(), picture.height(), pf24bit);
    // An empty picture (a side of 0) has no rows to copy: its row pointers are null.
    if (picture.empty())
        return out;
    for (int y = 0; y < picture.height(); ++y) std::memcpy(out.scanline(y), picture.row(y), picture.stride());
    return out;
}

Picture Bitmap::toPicture() const
{
    Picture out(width_, height_);
    if (empty())
        return out;
    if (format_ == pf24bit) {
        for (int y = 0; y < height_; ++y) std::memcpy(out.row(y), scanline(y), out.stride());
        return out;
    }
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* d = out.row(y);
        for (int x = 0; x < width_; ++x, d += 3) {
            Color c = color(x, y);
            d[0] = blueOf(c);
            d[1] = greenOf(c);
            d[2] = redOf(c);
        }
    }
    return out;
}

bool operator==(const Bitmap& a, const Bitmap& b)
{
    if (a.width_ != b.width_ || a.height_ != b.height_ || a.format_ != b.format_ ||
        a.palette_ != b.palette_ || a.transparent_ != b.transparent_ ||
        (a.transparent_ && a.transparentColor_ != b.transparentColor_))
        return false;
    if (bool(a.mask_) != bool(b.mask_) || (a.mask_ && !(*a.mask_ == *b.mask_)))
        return false;
    // Compare pixels only, not row padding.
    std::size_t used = (std::size_t(a.width_) * std::size_t(bitsPerPixel(a.format_)) + 7) / 8;
    for (int y = 0; y < a.height_; ++y) {
        if (a.format_ == pf1bit || a.format_ == pf4bit) {
            for (int x = 0; x < a.width_; ++x)
                if (a.index(x, y) != b.index(x, y))
                    return false;
        } else if (std::memcmp(a.scanline(y), b.scanline(y), used) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace pelko
