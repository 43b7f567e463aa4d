#pragma once
// FrameRecord: one frame of the animation. Field names are the keys under
// which the project file stores them. A frame holds what the project file
// says and no pixels: its frame image and thumbnail come from the project's
// frame cache (frame_cache.h), rendered from the source when needed.

#include <cstdint>
#include <string>

#include "engine/image/picture.h"

namespace pelko {

// The frame's GIF settings, one record that several commands copy whole.
struct GifFrameSettings {
    std::uint8_t ColorDither = 0;       // TDitherMode ordinal (dmNearest)
    std::uint8_t ColorReduction = 7;    // TColorReduction ordinal (rmQuantize)
    std::int32_t ReductionBit = 8;      // 3..8 bits per pixel
    std::uint8_t GIFCompression = 0;    // TGIFCompression ordinal (gcLZW)
    std::uint8_t DisposalMethod = 0;    // TDisposalMethod ordinal (dmNone)
    Color TransparentColor = 0xFFFFFF;  // 0x00BBGGRR
    std::uint8_t TransparentColorIndex = 0;
    bool GIFTransparent = false;

    friend bool operator==(const GifFrameSettings&, const GifFrameSettings&) = default;
};

// The constant settings every new frame starts from.
inline constexpr GifFrameSettings kDefaultGifFrameSettings{};

enum FlipMode : std::int32_t { FlipNormal = 0, FlipHorizontal = 1, FlipVertical = 2, FlipBoth = 3 };

struct FrameRecord {
    std::string File;        // full path of the source file
    std::int32_t Frame = 0;  // sub-image number inside a GIF source
    std::uint16_t Time = 0;  // milliseconds
    std::int32_t Flip = FlipNormal;
    bool Inverse = false;
    bool Gray = false;
    bool Stretch = false;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    GifFrameSettings Gif;

    friend bool operator==(const FrameRecord&, const FrameRecord&) = default;
};

constexpr int kThumbnailWidth = 168;
constexpr int kThumbnailHeight = 108;

}  // namespace pelko
