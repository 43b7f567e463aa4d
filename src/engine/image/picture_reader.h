#pragma once
// Reading a still picture file (BMP, JPEG, PNG, ICO) by its extension into a
// 24-bit Picture. A file the decoder rejects, or one that cannot be read at
// all, fails with the program's message "This file is not BMP." (or "JPG.",
// "PNG.", "ICO."); the decoder's own reason comes with it. Pictures beyond
// the pixel budget (pixel_budget.h) are refused from their headers.
//
// The headers of those kinds and of GIF files can also be read alone, for
// what needs only a picture's size: nothing is made for the pixels.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "engine/image/picture.h"

namespace pelko {

enum class StillKind { None, Bmp, Jpeg, Png, Ico };

// By extension, whatever its case: ".bmp", ".jpg"/".jpeg", ".png", ".ico";
// None for anything else (GIF files included).
StillKind stillKindOf(const std::string& path);
// "BMP", "JPG", "PNG", "ICO" ("" for None).
const char* stillKindName(StillKind kind);

class PictureReadError : public std::runtime_error {
public:
    explicit PictureReadError(const std::string& message, std::string reason = {})
        : std::runtime_error(message), reason_(std::move(reason))
    {
    }
    // Why the decoder refused the file, in its own short words ("picture too
    // large: 16384 × 16384 (limit 10000 × 10000)", "JPEG: data is cut
    // short", ...); for a file that could not be read, the system's text.
    const std::string& reason() const { return reason_; }

private:
    std::string reason_;
};

// Decodes data of the given kind; throws PictureReadError with the message
// above. None gives an empty picture.
Picture decodeStillPicture(StillKind kind, const std::uint8_t* data, std::size_t size);

// Reads the file and decodes it by its extension. A name with another
// extension reads nothing and gives an empty picture.
Picture readStillPicture(const std::string& path);

// Picture files by extension: the still kinds and ".gif".
enum class PictureKind { None, Bmp, Jpeg, Png, Ico, Gif };
PictureKind pictureKindOf(const std::string& path);
// "BMP", "JPG", "PNG", "ICO", "GIF" ("" for None).
const char* pictureKindName(PictureKind kind);

// What a picture file's header says: for a still picture the size of the
// picture its decoder makes (of an icon, the entry it would choose), for a
// GIF the logical screen.
struct PictureHeader {
    PictureKind kind = PictureKind::None;
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// Reads only the headers: the decoders' checks on them apply, the pixel
// budget does not (nothing is made), and the pixel data is not looked at.
// Throws PictureReadError "This file is not KIND." with the reason. None
// gives an empty header.
PictureHeader readPictureHeader(PictureKind kind, const std::uint8_t* data, std::size_t size);
// The same for a file, by its extension.
PictureHeader readPictureHeader(const std::string& path);

}  // namespace pelko
