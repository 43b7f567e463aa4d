#pragma once
// Reading a still picture file (BMP, JPEG, PNG, ICO) by its extension into a
// 24-bit Picture. A file the decoder rejects, or one that cannot be read at
// all, fails with the program's message "This file is not BMP." (or "JPG.",
// "PNG.", "ICO.").

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
    using std::runtime_error::runtime_error;
};

// Decodes data of the given kind; throws PictureReadError with the message
// above. None gives an empty picture.
Picture decodeStillPicture(StillKind kind, const std::uint8_t* data, std::size_t size);

// Reads the file and decodes it by its extension. A name with another
// extension reads nothing and gives an empty picture.
Picture readStillPicture(const std::string& path);

}  // namespace pelko
