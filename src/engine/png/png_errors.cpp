#include "engine/png/png_errors.h"

namespace pelko {

const char* pngMessage(int id)
{
    switch (id) {
        case kPngNoImageData:
            return "This \"Portable Network Graphics\" image contains no data.";
        case kPngCannotResize:
            return "The \"Portable Network Graphics\" image can not be resize by changing width and height "
                   "properties. Try assigning the image from a bitmap.";
        case kPngExistentChunk:
            return "The program tried to add a existent critical chunk to the current image which is not "
                   "allowed.";
        case kPngInvalidImageForChunk:
            return "It's not allowed to add a new chunk because the current image is invalid.";
        case kPngOutMemory:
            return "Some operation could not be performed because the system is out of resources. Close some "
                   "windows and try again.";
        case kPngCannotChangeTransparent:
            return "Setting bit transparency color is not allowed for png images containing alpha value for "
                   "each pixel (COLOR_RGBALPHA and COLOR_GRAYSCALEALPHA)";
        case kPngHeaderNotPresent:
            return "This operation is not valid because the current image contains no valid header.";
        case kPngInvalidCrc:
            return "This \"Portable Network Graphics\" image is not valid because it contains invalid pieces "
                   "of "
                   "data (crc error)";
        case kPngInvalidIhdr:
            return "The \"Portable Network Graphics\" image could not be loaded because one of its main "
                   "piece of "
                   "data (ihdr) might be corrupted";
        case kPngMissingMultipleIdat:
            return "This \"Portable Network Graphics\" image is invalid because it has missing image parts.";
        case kPngZlibError:
            return "Could not decompress the image because it contains invalid compressed data.\r\n "
                   "Description: ";
        case kPngInvalidPalette:
            return "The \"Portable Network Graphics\" image contains an invalid palette.";
        case kPngInvalidFileHeader:
            return "The file being readed is not a valid \"Portable Network Graphics\" image because it "
                   "contains "
                   "an invalid header. This file may be corruped, try obtaining it again.";
        case kPngIhdrNotFirst:
            return "This \"Portable Network Graphics\" image is not supported or it might be "
                   "invalid.\r\n(IHDR "
                   "chunk is not the first)";
        case kPngSizeExceeds:
            return "This \"Portable Network Graphics\" image is not supported because either it's width or "
                   "height exceeds the maximum size, which is 65535 pixels length.";
        case kPngUnknownPaletteEntry:
            return "There is no such palette entry.";
        case kPngUnknownCriticalChunk:
            return "This \"Portable Network Graphics\" image contains an unknown critical part which could "
                   "not "
                   "be decoded.";
        case kPngUnknownCompression:
            return "This \"Portable Network Graphics\" image is encoded with an unknown compression scheme "
                   "which "
                   "could not be decoded.";
        case kPngUnknownInterlace:
            return "This \"Portable Network Graphics\" image uses an unknown interlace scheme which could "
                   "not be "
                   "decoded.";
        case kPngIncompatibleChunks:
            return "The chunks must be compatible to be assigned.";
        case kPngUnexpectedEnd:
            return "This \"Portable Network Graphics\" image is invalid because the decoder found an "
                   "unexpected "
                   "end of the file.";
        case kPngBadColorTypeOrDepth:
            return "This \"Portable Network Graphics\" image uses a combination of colour type and bit depth "
                   "which is not allowed.";
        case kPngZeroSize:
            return "This \"Portable Network Graphics\" image is invalid because its width or height is zero.";
    }
    return "Unknown \"Portable Network Graphics\" error.";
}

std::string pngZlibMessage(int zlibResult)
{
    const char* what = "unknown error";
    switch (zlibResult) {
        case -1:
            what = "file error (-1)";
            break;
        case -2:
            what = "stream error (-2)";
            break;
        case -3:
            what = "data error (-3)";
            break;
        case -4:
            what = "insufficient memory (-4)";
            break;
        case -5:
            what = "buffer error (-5)";
            break;
        case -6:
            what = "incompatible version (-6)";
            break;
    }
    return std::string(pngMessage(kPngZlibError)) + what;
}

std::string pngTooLargeMessage(std::int64_t width, std::int64_t height, std::int64_t maxWidth,
                               std::int64_t maxHeight)
{
    return "picture too large: " + std::to_string(width) + " × " + std::to_string(height) + " (limit " +
           std::to_string(maxWidth) + " × " + std::to_string(maxHeight) + ")";
}

}  // namespace pelko
