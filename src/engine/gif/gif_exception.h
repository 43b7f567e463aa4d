#pragma once
// GIFException: every error of the GIF codec, with one of the fixed messages
// below. Warnings are not exceptions: they go to the image's warning observer.

#include <stdexcept>
#include <string>

namespace pelko {

class GIFException : public std::runtime_error {
public:
    explicit GIFException(const std::string& message) : std::runtime_error(message) {}
};

// The codec's fixed message texts, shared by errors and warnings.
namespace gifmsg {
inline constexpr const char* kColorTableOverflow = "Color table overflow";
inline constexpr const char* kInvalidColorIndex = "Invalid color index";
inline constexpr const char* kColorTableEmpty = "Color table is empty";
inline constexpr const char* kWidthTooSmall = "Image width too small for contained frames";
inline constexpr const char* kHeightTooSmall = "Image height too small for contained frames";
inline constexpr const char* kImageExceedsScreen = "Image exceeds Logical Screen size";
inline constexpr const char* kUnsupportedObject = "Object type not supported for operation";
inline constexpr const char* kInvalidBitsPerPixel = "Invalid Bits Per Pixel value";
inline constexpr const char* kImageEmpty = "Image is empty";
inline constexpr const char* kInvalidPixelCoordinates = "Invalid pixel coordinates";
inline constexpr const char* kColorNotInTable = "Color not in color table";
inline constexpr const char* kCircularTableEntry = "Circular decoder table entry";
inline constexpr const char* kBitBufferUnderrun = "Decoder bit buffer under-run";
inline constexpr const char* kPrematureEnd = "Premature end of data";
inline constexpr const char* kInvalidStreamOperation = "Invalid stream operation";
inline constexpr const char* kInvalidSignature = "Invalid GIF signature";
inline constexpr const char* kUnsupportedVersion = "Unsupported GIF version";
inline constexpr const char* kUnknownBlockType = "Unknown GIF block type";
inline constexpr const char* kInvalidTrailer = "Invalid Image trailer";
inline constexpr const char* kInvalidExtensionIntroducer = "Invalid extension introducer";
inline constexpr const char* kUnknownExtensionType = "Unknown extension type";
inline constexpr const char* kExtensionLabelMismatch =
    "Internal error: Extension Instance does not match Extension Label";
inline constexpr const char* kUnsupportedAppExtBlockSize = "Unsupported Application Extension block size";
inline constexpr const char* kInvalidData = "Invalid GIF data";
inline constexpr const char* kImageTooLarge = "Image too large";
inline constexpr const char* kTooManyExtensions =
    "Too many extensions before one image: the rest are skipped";
inline constexpr const char* kLoading = "Loading...";
inline constexpr const char* kSaving = "Saving...";
inline constexpr const char* kCopying = "Copying...";
}  // namespace gifmsg

}  // namespace pelko
