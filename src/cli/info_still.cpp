// The still-picture half of "pelko-cli info": kind and size, and for PNG files
// the colour type, bit depth, interlace and transparency mode. Only headers
// are read: no picture is decoded.

#include <iostream>
#include <string>

#include "cli/command.h"
#include "cli/info.h"
#include "engine/image/picture_reader.h"
#include "engine/image/ppm.h"
#include "engine/png/png_object.h"

namespace pelko::cli {

namespace {

const char* colorTypeName(int colorType)
{
    switch (colorType) {
        case kColorGrayscale:
            return "greyscale";
        case kColorRgb:
            return "RGB";
        case kColorPalette:
            return "palette";
        case kColorGrayscaleAlpha:
            return "greyscale with alpha";
        case kColorRgbAlpha:
            return "RGB with alpha";
    }
    return "unknown";
}

const char* transparencyName(TPNGTransparencyMode mode)
{
    switch (mode) {
        case ptmNone:
            return "none";
        case ptmBit:
            return "one color";
        case ptmPartial:
            return "partial";
    }
    return "none";
}

std::string colorText(Color c)
{
    static const char* hex = "0123456789ABCDEF";
    std::string s = "0x";
    for (int shift = 20; shift >= 0; shift -= 4) s += hex[(c >> shift) & 15];
    return s;
}

int infoPng(const std::string& path)
{
    TPNGObject png;
    try {
        const auto bytes = readFile(path);
        png.LoadHeaderFromStream(bytes.data(), bytes.size());
    } catch (const std::exception& e) {
        return fail("This file is not PNG. " + std::string(e.what()));
    }
    const TChunkIHDR& h = *png.header();
    std::cout << "file: " << path << '\n'
              << "kind: PNG\n"
              << "size: " << h.width << " x " << h.height << '\n'
              << "color type: " << int(h.colorType) << " (" << colorTypeName(h.colorType) << ")\n"
              << "bit depth: " << int(h.bitDepth) << '\n'
              << "interlace: " << (h.interlaceMethod ? "Adam7" : "none") << '\n'
              << "transparency: " << transparencyName(png.TransparencyMode());
    if (png.TransparencyMode() == ptmBit)
        std::cout << ", " << colorText(png.TransparentColor());
    std::cout << '\n' << "chunks:";
    for (int i = 0; i < png.chunkCount(); ++i) std::cout << ' ' << png.chunk(i).type();
    std::cout << '\n';
    return kExitOk;
}

}  // namespace

int infoStill(const std::string& path)
{
    const StillKind kind = stillKindOf(path);
    if (kind == StillKind::None)
        return fail("not a picture Pelko reads (BMP, JPG, JPEG, PNG, ICO or GIF): " + path);
    if (kind == StillKind::Png)
        return infoPng(path);
    PictureHeader header;
    try {
        header = readPictureHeader(path);
    } catch (const PictureReadError& e) {
        return fail(e.what() + std::string(" ") + path);
    }
    std::cout << "file: " << path << '\n'
              << "kind: " << stillKindName(kind) << '\n'
              << "size: " << header.width << " x " << header.height << '\n';
    return kExitOk;
}

}  // namespace pelko::cli
