#include "engine/image/picture_reader.h"

#include <exception>
#include <new>
#include <vector>

#include "engine/image/bmp_reader.h"
#include "engine/image/file_kind.h"
#include "engine/image/ico_reader.h"
#include "engine/image/jpeg_codec.h"
#include "engine/image/png_picture.h"
#include "engine/image/ppm.h"

namespace pelko {

StillKind stillKindOf(const std::string& path)
{
    const std::string ext = fileExtension(path);
    if (ext == ".bmp")
        return StillKind::Bmp;
    if (ext == ".jpg" || ext == ".jpeg")
        return StillKind::Jpeg;
    if (ext == ".png")
        return StillKind::Png;
    if (ext == ".ico")
        return StillKind::Ico;
    return StillKind::None;
}

const char* stillKindName(StillKind kind)
{
    switch (kind) {
        case StillKind::Bmp:
            return "BMP";
        case StillKind::Jpeg:
            return "JPG";
        case StillKind::Png:
            return "PNG";
        case StillKind::Ico:
            return "ICO";
        case StillKind::None:
            break;
    }
    return "";
}

namespace {

[[noreturn]] void notThisKind(StillKind kind)
{
    throw PictureReadError(std::string("This file is not ") + stillKindName(kind) + ".");
}

}  // namespace

Picture decodeStillPicture(StillKind kind, const std::uint8_t* data, std::size_t size)
{
    try {
        switch (kind) {
            case StillKind::Bmp:
                return decodeBmp(data, size);
            case StillKind::Jpeg:
                return decodeJpeg(data, size);
            case StillKind::Png:
                return decodePngPicture(data, size);
            case StillKind::Ico:
                return decodeIco(data, size);
            case StillKind::None:
                return Picture();
        }
    } catch (const std::exception&) {
        // Every decoder failure (out of memory for an absurd size included)
        // is reported as a picture that is not of its kind.
    }
    notThisKind(kind);
}

Picture readStillPicture(const std::string& path)
{
    const StillKind kind = stillKindOf(path);
    if (kind == StillKind::None)
        return Picture();
    std::vector<std::uint8_t> bytes;
    try {
        bytes = readFile(path);
    } catch (const std::exception&) {
        notThisKind(kind);
    }
    return decodeStillPicture(kind, bytes.data(), bytes.size());
}

}  // namespace pelko
