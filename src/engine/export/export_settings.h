#pragma once
// The still-image export: which format a file name selects, the name the
// save dialog shows when the user picks another file type, and the export
// settings kept beside the project for the program run (never stored in the
// project file).

#include <string>
#include <string_view>

#include "engine/gif_options/gif_color_options.h"
#include "engine/image/picture.h"

namespace pelko {

enum class ExportFormat { None, Bmp, Gif, Jpeg, Png };

// By extension, whatever the case: ".bmp", ".gif", ".jpg" or ".jpeg",
// ".png". Anything else saves nothing.
ExportFormat exportFormatOf(std::string_view path);

// The save dialog's file types, 1 to 4: BMP, GIF, JPEG, PNG.
constexpr int kExportTypeCount = 4;
// ".bmp", ".gif", ".jpg", ".png" for types 1 to 4; "" otherwise.
const char* exportTypeExtension(int type);
// The typed name after the user picked file type `type`: its extension (from
// the last dot of the name after its folder, a leading dot not counting)
// replaced by the type's, or the type's extension appended to a name without
// one.
// "shot.bmp" -> "shot.jpg"; "shot" -> "shot.jpg"; "shot.jpeg" -> "shot.jpg".
std::string nameForExportType(std::string_view name, int type);

// The BMP pixel formats, in bits per pixel.
bool isBmpBits(int bits);  // 1, 4, 8, 16, 24 or 32

constexpr int kMaxJpegQuality = 100;
constexpr int kMaxPngCompressionLevel = 9;

struct ExportSettings {
    int bmpBits = 24;  // 24 on a 24-bit screen, otherwise 32
    bool showBmp = true;
    int jpegQuality = 100;
    bool showJpg = true;
    Color pngTransparentColor = 0xFFFFFF;
    bool pngInterlace = false;
    int pngCompressionLevel = 9;
    bool showPng = true;
    GifStillSettings gif;       // its showAlways is the GIF dialog's flag
    std::string lastSavedName;  // without folder; the options dialogs' caption
};

// The settings a run starts with on a screen of screenDepth bits per pixel.
ExportSettings initialExportSettings(int screenDepth);

}  // namespace pelko
