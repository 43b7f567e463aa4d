#pragma once
// Small picture files for tests that need real sources on disk.

#include <string>

#include "engine/image/picture.h"
#include "engine/image/png_picture.h"
#include "engine/image/ppm.h"
#include "support/temp_dir.h"

namespace pelko::test {

// A w x h picture whose pixel (x, y) is distinct, with an optional colour at
// the bottom-left corner.
inline Picture patternPicture(int w, int h, Color bottomLeft = 0x808080)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y, rgb(std::uint8_t(x * 13), std::uint8_t(y * 29), std::uint8_t(x * y + 40)));
    p.setPixel(0, h - 1, bottomLeft);
    return p;
}

inline std::string writePng(const std::string& path, const Picture& picture)
{
    writeFile(path, encodePngPicture(picture));
    return path;
}

}  // namespace pelko::test
