#pragma once
// The files that frames name, as the readers hand them over: a still picture,
// or a GIF in its compact form (each sub-image's colour indices and colour
// map, turned into a 24-bit picture only when a frame is rendered from it).

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/base/geometry.h"
#include "engine/image/picture.h"

namespace pelko {

// Why a frame's source gives no picture.
enum class SourceStatus {
    Ok,
    MissingFile,   // no such file (or no name at all)
    MissingFrame,  // the GIF holds no sub-image of that number
    EmptyFrame,    // the sub-image is empty
    Unreadable,    // the reader refused the file
    TooLarge,      // the frame needs a picture larger than any picture can be
};

// The colour of every index a sub-image may hold.
using GifColorTable = std::array<Color, 256>;

// One sub-image of a GIF source, as the frame-making rules need it.
struct GifSourceFrame {
    bool empty = false;
    Rect rect;  // on the GIF's logical screen
    int bitsPerPixel = 8;
    bool hasControl = false;  // has a graphic control extension
    int delay = 0;            // hundredths of a second
    int disposal = 0;
    bool transparent = false;
    int transparentIndex = 0;
    Color transparentColor = 0;
    // The pixels: rect.width x rect.height indices, rows top to bottom, and
    // the colours of its active map (an index past the map's end shows its
    // first colour). Sub-images with the same map share one table.
    std::vector<std::uint8_t> indices;
    std::shared_ptr<const GifColorTable> colors;

    // The sub-image as a 24-bit picture of its own size (empty for an empty
    // sub-image).
    Picture toPicture() const;
    std::size_t byteSize() const;
};

struct GifSource {
    int bitsPerPixel = 8;  // of the whole image
    std::vector<GifSourceFrame> frames;

    // Memory the compact form holds, shared colour tables counted once.
    std::size_t byteSize() const;
};

// The readers behind the sources. The real one reads files with the engine's
// codecs (makeFileSourceReader); tests may count or redirect reads. The frame
// cache calls its reader from worker threads as well.
class SourceReader {
public:
    virtual ~SourceReader() = default;
    // A still picture (.bmp, .jpg, .jpeg, .png, .ico), or the failure text:
    // "This file is not " + "BMP." (and so on), a newline and "PATH: reason",
    // so a message box says which file failed and why. Another extension
    // gives an empty picture and success.
    virtual std::optional<Picture> readStill(const std::string& path, std::string& error) = 0;
    // A GIF file with every sub-image, or the failure text
    // "This file is not GIF." + "\n" + "PATH: reason".
    virtual std::optional<GifSource> readGif(const std::string& path, std::string& error) = 0;
};

// The reader over the engine's own codecs. It keeps no state, so any thread
// may use it.
std::unique_ptr<SourceReader> makeFileSourceReader();

}  // namespace pelko
