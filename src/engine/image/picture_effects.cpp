#include "engine/image/picture_effects.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace pelko {

Picture mirrorPicture(const Picture& picture, int flip, int width, int height)
{
    Picture out = picture;
    const int w = std::min(std::max(0, width), out.width());
    const int h = std::min(std::max(0, height), out.height());
    if (w == 0 || h == 0 || picture.empty())
        return out;
    const bool horizontal = flip == 1 || flip == 3;
    const bool vertical = flip == 2 || flip == 3;
    // Source column and row of every destination pixel of the full rectangle
    // (width x height), of which the part inside the picture is written.
    std::vector<int> srcX(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x) {
        const int dx = horizontal ? width - 1 - x : x;
        srcX[std::size_t(x)] = int((long long)dx * picture.width() / width);
    }
    for (int y = 0; y < h; ++y) {
        const int dy = vertical ? height - 1 - y : y;
        const int sy = int((long long)dy * picture.height() / height);
        const std::uint8_t* s = picture.row(sy);
        std::uint8_t* d = out.row(y);
        for (int x = 0; x < w; ++x)
            std::memcpy(d + std::size_t(x) * 3, s + std::size_t(srcX[std::size_t(x)]) * 3, 3);
    }
    return out;
}

void greyPicture(Picture& picture)
{
    std::uint8_t* p = picture.data();
    const std::size_t n = picture.byteSize();
    for (std::size_t i = 0; i < n; i += 3) {
        const unsigned g = (77u * p[i + 2] + 150u * p[i + 1] + 29u * p[i] + 128u) >> 8;
        p[i] = p[i + 1] = p[i + 2] = std::uint8_t(g);
    }
}

void invertPicture(Picture& picture)
{
    std::uint8_t* p = picture.data();
    const std::size_t n = picture.byteSize();
    for (std::size_t i = 0; i < n; ++i) p[i] = std::uint8_t(255 - p[i]);
}

}  // namespace pelko
