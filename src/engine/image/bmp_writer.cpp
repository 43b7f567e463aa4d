#include "engine/image/bmp_writer.h"

#include <cstring>
#include <stdexcept>

namespace pelko {

namespace {

void put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}

}  // namespace

std::vector<std::uint8_t> encodeBmp(const Picture& picture)
{
    if (picture.empty())
        throw std::invalid_argument("BMP: the picture is empty");
    const std::size_t stride = (picture.stride() + 3) & ~std::size_t(3);
    const std::size_t imageSize = stride * std::size_t(picture.height());
    const std::size_t fileSize = 54 + imageSize;
    if (fileSize > 0xFFFFFFFFu)
        throw std::length_error("BMP: the picture is too large for a bitmap file");
    std::vector<std::uint8_t> out(fileSize, 0);
    std::uint8_t* h = out.data();
    h[0] = 'B';
    h[1] = 'M';
    put32(h + 2, std::uint32_t(fileSize));
    put32(h + 10, 54);
    put32(h + 14, 40);
    put32(h + 18, std::uint32_t(picture.width()));
    put32(h + 22, std::uint32_t(picture.height()));
    put16(h + 26, 1);
    put16(h + 28, 24);
    put32(h + 34, std::uint32_t(imageSize));
    put32(h + 38, 2835);  // 72 dpi
    put32(h + 42, 2835);
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(h + 54 + std::size_t(picture.height() - 1 - y) * stride, picture.row(y),
                    picture.stride());
    return out;
}

}  // namespace pelko
