#pragma once
// Bitmap: the paletted or true-colour picture that the GIF codec converts to
// and from frames. Pixel formats of 1, 4, 8, 24 and 32 bits per pixel; rows
// are stored top to bottom, each padded to a multiple of 4 bytes. 24-bit
// pixels are blue, green, red; 32-bit pixels blue, green, red, unused. Sub-byte
// pixels are packed most significant bits first.
//
// A bitmap may carry a palette (the colours of its indices), a transparent
// flag with its transparent colour, and a 1-bit mask (a set bit marks a
// transparent pixel). This is only what the codec needs, not a graphics
// library: drawing and resampling live on Picture.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/colour/palette.h"
#include "engine/image/picture.h"

namespace pelko {

enum TPixelFormat { pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };

int bitsPerPixel(TPixelFormat format);

class Bitmap {
public:
    Bitmap() = default;
    // A zero-filled width x height bitmap (index 0, or black). Throws
    // std::length_error for sizes outside the Picture limits.
    Bitmap(int width, int height, TPixelFormat format);
    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap& other);
    Bitmap(Bitmap&&) noexcept = default;
    Bitmap& operator=(Bitmap&&) noexcept = default;

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    TPixelFormat pixelFormat() const { return format_; }
    std::size_t stride() const { return stride_; }

    std::uint8_t* scanline(int y) { return data_.data() + std::size_t(y) * stride_; }
    const std::uint8_t* scanline(int y) const { return data_.data() + std::size_t(y) * stride_; }

    // Index of a pixel in a 1, 4 or 8-bit bitmap.
    int index(int x, int y) const;
    void setIndex(int x, int y, int value);
    // Colour of any pixel (through the palette for indexed formats; an index
    // beyond the palette reads as black).
    Color color(int x, int y) const;

    // Changes the pixel format, converting the pixels. Widening goes through
    // the palette; narrowing to an indexed format picks the nearest palette
    // colour (a missing palette becomes black and white, 16 or 256 greys).
    void setPixelFormat(TPixelFormat format);
    // Same size and pixels in another format, this bitmap unchanged.
    Bitmap converted(TPixelFormat format) const;

    const Palette& palette() const { return palette_; }
    void setPalette(Palette palette) { palette_ = std::move(palette); }

    bool transparent() const { return transparent_; }
    void setTransparent(bool on) { transparent_ = on; }
    Color transparentColor() const { return transparentColor_; }
    void setTransparentColor(Color c) { transparentColor_ = c; }

    // The 1-bit mask (set bits transparent), or nullptr.
    const Bitmap* mask() const { return mask_.get(); }
    void setMask(std::unique_ptr<Bitmap> mask) { mask_ = std::move(mask); }
    // Makes a mask of the pixels whose colour is the transparent colour.
    void buildMaskFromTransparentColor();

    // Conversions with the program's 24-bit pictures.
    static Bitmap fromPicture(const Picture& picture);
    Picture toPicture() const;

    friend bool operator==(const Bitmap& a, const Bitmap& b);

private:
    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pf24bit;
    std::size_t stride_ = 0;
    std::vector<std::uint8_t> data_;
    Palette palette_;
    bool transparent_ = false;
    Color transparentColor_ = 0;
    std::unique_ptr<Bitmap> mask_;
};

}  // namespace pelko
