#include "engine/image/picture_reader.h"

#include <cctype>
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

[[noreturn]] void notThisKind(const char* kindName, const std::string& reason)
{
    throw PictureReadError(std::string("This file is not ") + kindName + ".", reason);
}

// The reason of any failure, out of memory for an absurd size included.
std::string reasonOf(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return "out of memory";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown error";
    }
}

// The logical screen of a GIF: the signature (also 4 bytes on, as the GIF
// codec accepts it) and the screen descriptor.
PictureSize gifScreenSize(const std::uint8_t* data, std::size_t size)
{
    auto isGif = [&](std::size_t at) {
        return size - at >= 6 && std::toupper(data[at]) == 'G' && std::toupper(data[at + 1]) == 'I' &&
               std::toupper(data[at + 2]) == 'F';
    };
    std::size_t at = 0;
    if (size < 6 || !isGif(0)) {
        if (size < 10 || !isGif(4))
            throw std::runtime_error(size < 6 ? "Premature end of data" : "Invalid GIF signature");
        at = 4;
    }
    if (size - at < 6 + 7)
        throw std::runtime_error("Premature end of data");
    const std::uint8_t* lsd = data + at + 6;
    return {lsd[0] | lsd[1] << 8, lsd[2] | lsd[3] << 8};
}

StillKind stillKindFor(PictureKind kind)
{
    switch (kind) {
        case PictureKind::Bmp:
            return StillKind::Bmp;
        case PictureKind::Jpeg:
            return StillKind::Jpeg;
        case PictureKind::Png:
            return StillKind::Png;
        case PictureKind::Ico:
            return StillKind::Ico;
        case PictureKind::Gif:
        case PictureKind::None:
            break;
    }
    return StillKind::None;
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
    } catch (...) {
        // Every decoder failure is reported as a picture that is not of its
        // kind, with the decoder's reason.
        notThisKind(stillKindName(kind), reasonOf(std::current_exception()));
    }
    return Picture();
}

Picture readStillPicture(const std::string& path)
{
    const StillKind kind = stillKindOf(path);
    if (kind == StillKind::None)
        return Picture();
    std::vector<std::uint8_t> bytes;
    try {
        bytes = readFile(path);
    } catch (...) {
        notThisKind(stillKindName(kind), reasonOf(std::current_exception()));
    }
    return decodeStillPicture(kind, bytes.data(), bytes.size());
}

PictureKind pictureKindOf(const std::string& path)
{
    switch (stillKindOf(path)) {
        case StillKind::Bmp:
            return PictureKind::Bmp;
        case StillKind::Jpeg:
            return PictureKind::Jpeg;
        case StillKind::Png:
            return PictureKind::Png;
        case StillKind::Ico:
            return PictureKind::Ico;
        case StillKind::None:
            break;
    }
    return fileExtension(path) == ".gif" ? PictureKind::Gif : PictureKind::None;
}

const char* pictureKindName(PictureKind kind)
{
    return kind == PictureKind::Gif ? "GIF" : stillKindName(stillKindFor(kind));
}

PictureHeader readPictureHeader(PictureKind kind, const std::uint8_t* data, std::size_t size)
{
    PictureHeader header;
    header.kind = kind;
    try {
        PictureSize s;
        switch (kind) {
            case PictureKind::Bmp:
                s = bmpPictureSize(data, size);
                break;
            case PictureKind::Jpeg:
                s = jpegPictureSize(data, size);
                break;
            case PictureKind::Png: {
                TPNGObject png;
                png.LoadHeaderFromStream(data, size);
                s = {png.Width(), png.Height()};
                break;
            }
            case PictureKind::Ico:
                s = icoPictureSize(data, size);
                break;
            case PictureKind::Gif:
                s = gifScreenSize(data, size);
                break;
            case PictureKind::None:
                break;
        }
        header.width = s.width;
        header.height = s.height;
    } catch (...) {
        notThisKind(pictureKindName(kind), reasonOf(std::current_exception()));
    }
    return header;
}

PictureHeader readPictureHeader(const std::string& path)
{
    const PictureKind kind = pictureKindOf(path);
    if (kind == PictureKind::None)
        return PictureHeader();
    std::vector<std::uint8_t> bytes;
    try {
        bytes = readFile(path);
    } catch (...) {
        notThisKind(pictureKindName(kind), reasonOf(std::current_exception()));
    }
    return readPictureHeader(kind, bytes.data(), bytes.size());
}

}  // namespace pelko
