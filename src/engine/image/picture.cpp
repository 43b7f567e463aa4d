#include "engine/image/picture.h"

#include <algorithm>
#include <cstring>

namespace pelko {

bool pictureSizeAllowed(std::int64_t width, std::int64_t height)
{
    return width >= 0 && height >= 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

Picture::Picture(int width, int height)
{
    if (!pictureSizeAllowed(width, height))
        throw std::length_error("picture size out of range");
    width_ = width;
    height_ = height;
    data_.assign(std::size_t(width) * std::size_t(height) * 3, 0xFF);
}

Color Picture::pixel(int x, int y) const
{
    const std::uint8_t* p = row(y) + std::size_t(x) * 3;
    return rgb(p[2], p[1], p[0]);
}

void Picture::setPixel(int x, int y, Color c)
{
    std::uint8_t* p = row(y) + std::size_t(x) * 3;
    p[0] = blueOf(c);
    p[1] = greenOf(c);
    p[2] = redOf(c);
}

void Picture::fill(Color c)
{
    if (data_.empty())
        return;
    if (c == 0xFFFFFF || c == 0) {
        std::memset(data_.data(), c ? 0xFF : 0, data_.size());
        return;
    }
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) setPixel(x, y, c);
}

void Picture::draw(const Picture& src, int dx, int dy)
{
    const int x0 = std::max(0, dx), y0 = std::max(0, dy);
    const int x1 = std::min<long long>(width_, (long long)dx + src.width());
    const int y1 = std::min<long long>(height_, (long long)dy + src.height());
    if (x0 >= x1 || y0 >= y1)
        return;
    const std::size_t bytes = std::size_t(x1 - x0) * 3;
    for (int y = y0; y < y1; ++y)
        std::memcpy(row(y) + std::size_t(x0) * 3, src.row(y - dy) + std::size_t(x0 - dx) * 3, bytes);
}

}  // namespace pelko
