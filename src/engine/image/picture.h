#pragma once
// Picture: the program's true-colour picture. 24 bits per pixel, stored as
// blue, green, red per pixel, rows top to bottom, rows packed without padding.
// A new picture is white.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace pelko {

// Colours are 32-bit values 0x00BBGGRR.
using Color = std::uint32_t;

constexpr Color rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return Color(r) | (Color(g) << 8) | (Color(b) << 16);
}
constexpr std::uint8_t redOf(Color c)
{
    return std::uint8_t(c & 0xFF);
}
constexpr std::uint8_t greenOf(Color c)
{
    return std::uint8_t((c >> 8) & 0xFF);
}
constexpr std::uint8_t blueOf(Color c)
{
    return std::uint8_t((c >> 16) & 0xFF);
}
// The squared RGB distance of two colours, as the palette lookups measure it.
constexpr int squaredDistance(Color a, Color b)
{
    const int dr = int(redOf(a)) - int(redOf(b)), dg = int(greenOf(a)) - int(greenOf(b)),
              db = int(blueOf(a)) - int(blueOf(b));
    return dr * dr + dg * dg + db * db;
}

// Largest side and pixel count a Picture accepts; readers check file headers
// against these before allocating.
constexpr int kMaxPictureSide = 65535;
constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 28;  // 256 Mpixel, 768 MiB

class Picture {
public:
    Picture() = default;
    // A white width x height picture. Throws std::length_error when the size
    // is negative or beyond the limits above.
    Picture(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    std::size_t stride() const { return std::size_t(width_) * 3; }

    std::uint8_t* row(int y) { return data_.data() + std::size_t(y) * stride(); }
    const std::uint8_t* row(int y) const { return data_.data() + std::size_t(y) * stride(); }
    std::uint8_t* data() { return data_.data(); }
    const std::uint8_t* data() const { return data_.data(); }
    std::size_t byteSize() const { return data_.size(); }

    Color pixel(int x, int y) const;
    void setPixel(int x, int y, Color c);
    void fill(Color c);

    // Copies src with its top-left corner at (dx, dy), clipped to both pictures.
    void draw(const Picture& src, int dx, int dy);

    friend bool operator==(const Picture& a, const Picture& b)
    {
        return a.width_ == b.width_ && a.height_ == b.height_ && a.data_ == b.data_;
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> data_;
};

// True when a width x height picture fits the limits above.
bool pictureSizeAllowed(std::int64_t width, std::int64_t height);

// A picture's size as a file's header gives it, before any check.
struct PictureSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

}  // namespace pelko
