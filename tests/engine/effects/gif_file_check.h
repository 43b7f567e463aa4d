#pragma once
// Reading a written GIF back with giflib, for the tests of the commands that
// generate GIF files: each frame's size, delay, colours and the maps it uses.

#ifdef PELKO_HAVE_GIFLIB
#include <gif_lib.h>
#endif

#include <string>
#include <vector>

#include "engine/image/picture.h"

namespace pelko::test {

struct CheckedGifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    int delay = -1;  // -1: no graphic control extension
    bool transparent = false;
    bool localMap = false;
    std::vector<Color> pixels;  // rows top to bottom
};

struct CheckedGif {
    bool ok = false;
    int width = 0, height = 0;
    int globalColors = 0;  // 0: no global map
    bool loops = false;    // the first frame carries NETSCAPE2.0
    std::vector<CheckedGifFrame> frames;
};

#ifdef PELKO_HAVE_GIFLIB
constexpr bool kHaveGiflib = true;
#else
constexpr bool kHaveGiflib = false;
#endif

// ok stays false without giflib; the tests then leave out these checks.
inline CheckedGif readWithGiflib(const std::string& path)
{
    CheckedGif g;
#ifndef PELKO_HAVE_GIFLIB
    (void)path;
    return g;
#else
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif)
        return g;
    if (DGifSlurp(gif) == GIF_OK) {
        g.ok = true;
        g.width = gif->SWidth;
        g.height = gif->SHeight;
        g.globalColors = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& s = gif->SavedImages[i];
            CheckedGifFrame f;
            f.left = s.ImageDesc.Left;
            f.top = s.ImageDesc.Top;
            f.width = s.ImageDesc.Width;
            f.height = s.ImageDesc.Height;
            f.localMap = s.ImageDesc.ColorMap != nullptr;
            GraphicsControlBlock gcb;
            if (DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK) {
                f.delay = gcb.DelayTime;
                f.transparent = gcb.TransparentColor != NO_TRANSPARENT_COLOR;
            }
            const ColorMapObject* map = f.localMap ? s.ImageDesc.ColorMap : gif->SColorMap;
            for (int p = 0; p < f.width * f.height; ++p) {
                const int index = s.RasterBits[p];
                const GifColorType c = map && index < map->ColorCount ? map->Colors[index] : GifColorType{};
                f.pixels.push_back(rgb(c.Red, c.Green, c.Blue));
            }
            for (int e = 0; i == 0 && e < s.ExtensionBlockCount; ++e) {
                const ExtensionBlock& b = s.ExtensionBlocks[e];
                if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount >= 11 &&
                    std::string(reinterpret_cast<const char*>(b.Bytes), 11) == "NETSCAPE2.0")
                    g.loops = true;
            }
            g.frames.push_back(std::move(f));
        }
    }
    DGifCloseFile(gif, &error);
    return g;
#endif
}

}  // namespace pelko::test
