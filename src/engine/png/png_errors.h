#pragma once
// The exceptions of the PNG codec. Every class derives directly from
// std::runtime_error and carries one of the codec's fixed messages.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace pelko {

// Message texts by their number in the program's string table.
const char* pngMessage(int id);

#define PELKO_PNG_EXCEPTION(Name)                                      \
    class Name : public std::runtime_error {                           \
    public:                                                            \
        explicit Name(int id) : std::runtime_error(pngMessage(id)) {}  \
        explicit Name(const std::string& m) : std::runtime_error(m) {} \
    };

PELKO_PNG_EXCEPTION(EPNGInvalidFileHeader)
PELKO_PNG_EXCEPTION(EPngUnexpectedEnd)
PELKO_PNG_EXCEPTION(EPNGIHDRNotFirst)
PELKO_PNG_EXCEPTION(EPNGUnknownCriticalChunk)
PELKO_PNG_EXCEPTION(EPngInvalidCRC)
PELKO_PNG_EXCEPTION(EPngInvalidIHDR)
PELKO_PNG_EXCEPTION(EPNGSizeExceeds)
PELKO_PNG_EXCEPTION(EPNGUnknownCompression)
PELKO_PNG_EXCEPTION(EPNGUnknownInterlace)
PELKO_PNG_EXCEPTION(EPNGInvalidPalette)
PELKO_PNG_EXCEPTION(EPNGMissingMultipleIDAT)
PELKO_PNG_EXCEPTION(EPNGZLIBError)
PELKO_PNG_EXCEPTION(EPNGNoImageData)
PELKO_PNG_EXCEPTION(EPNGCannotChangeTransparent)
PELKO_PNG_EXCEPTION(EPNGHeaderNotPresent)
PELKO_PNG_EXCEPTION(EPNGOutMemory)
PELKO_PNG_EXCEPTION(EPngError)

#undef PELKO_PNG_EXCEPTION

// Message numbers.
enum PngMessageId {
    kPngNoImageData = 65504,
    kPngCannotResize = 65505,
    kPngExistentChunk = 65506,
    kPngInvalidImageForChunk = 65507,
    kPngOutMemory = 65509,
    kPngCannotChangeTransparent = 65510,
    kPngHeaderNotPresent = 65511,
    kPngInvalidCrc = 65520,
    kPngInvalidIhdr = 65521,
    kPngMissingMultipleIdat = 65522,
    kPngZlibError = 65523,
    kPngInvalidPalette = 65524,
    kPngInvalidFileHeader = 65525,
    kPngIhdrNotFirst = 65526,
    kPngSizeExceeds = 65528,
    kPngUnknownPaletteEntry = 65529,
    kPngUnknownCriticalChunk = 65531,
    kPngUnknownCompression = 65532,
    kPngUnknownInterlace = 65533,
    kPngIncompatibleChunks = 65534,
    kPngUnexpectedEnd = 65535,
    // Our own texts, for what the table above does not cover.
    kPngBadColorTypeOrDepth = 1,
    kPngZeroSize = 2,
};

// The zlib failure text for a negative zlib result code.
std::string pngZlibMessage(int zlibResult);

// "picture too large: W × H (limit MW × MH)", for a picture beyond the
// reader's limits (the pixel budget of the program's readers).
std::string pngTooLargeMessage(std::int64_t width, std::int64_t height, std::int64_t maxWidth,
                               std::int64_t maxHeight);

}  // namespace pelko
