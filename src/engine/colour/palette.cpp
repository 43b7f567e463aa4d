#include "engine/colour/palette.h"

namespace pelko {

Palette WebPalette()
{
    Palette p;
    p.reserve(216);
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back(rgb(std::uint8_t(51 * r), std::uint8_t(51 * g), std::uint8_t(51 * b)));
    return p;
}

const Palette& systemPalette20()
{
    // Stands in for the desktop's 20-colour default palette: the 16 VGA
    // colours with four extra system colours (money green, sky blue, cream,
    // medium grey) in the classic order, ten dark ones first, ten bright last.
    static const Palette p = {
        rgb(0, 0, 0),       rgb(128, 0, 0),     rgb(0, 128, 0),   rgb(128, 128, 0),
        rgb(0, 0, 128),     rgb(128, 0, 128),   rgb(0, 128, 128), rgb(192, 192, 192),
        rgb(192, 220, 192), rgb(166, 202, 240),  // money green, sky blue
        rgb(255, 251, 240), rgb(160, 160, 164),  // cream, medium grey
        rgb(128, 128, 128), rgb(255, 0, 0),     rgb(0, 255, 0),   rgb(255, 255, 0),
        rgb(0, 0, 255),     rgb(255, 0, 255),   rgb(0, 255, 255), rgb(255, 255, 255),
    };
    return p;
}

const Palette& halftonePalette256()
{
    // Stands in for the desktop's 256-colour halftone palette: the system
    // colours keep their places (0..9 and 246..255); between them a 6 x 6 x 6
    // cube (levels 0, 51, ..., 255) and 20 greys that the cube lacks.
    static const Palette p = [] {
        const Palette& sys = systemPalette20();
        Palette out(sys.begin(), sys.begin() + 10);
        Palette cube = WebPalette();
        out.insert(out.end(), cube.begin(), cube.end());
        for (int i = 1; i <= 20; ++i) {
            // 21 steps over 0..255, skipping the levels the cube already has.
            int v = (i * 255 + 10) / 21;
            if (v % 51 == 0)
                ++v;
            out.push_back(rgb(std::uint8_t(v), std::uint8_t(v), std::uint8_t(v)));
        }
        out.insert(out.end(), sys.begin() + 10, sys.end());
        return out;
    }();
    return p;
}

Palette windowsGrayPalette()
{
    return {rgb(0, 0, 0), rgb(128, 128, 128), rgb(192, 192, 192), rgb(255, 255, 255)};
}

Palette monochromePalette()
{
    return {rgb(0, 0, 0), rgb(255, 255, 255)};
}

Palette grayScalePalette()
{
    Palette p(256);
    for (int i = 0; i < 256; ++i) p[std::size_t(i)] = rgb(std::uint8_t(i), std::uint8_t(i), std::uint8_t(i));
    return p;
}

}  // namespace pelko
