#pragma once
// Image sources: reading the files that frames name, and making new frames
// from a file (one per still picture, one per non-empty GIF sub-image).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/image/picture.h"
#include "engine/project/composition.h"
#include "engine/project/project.h"

namespace pelko {

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
    Picture picture;  // the sub-image as a 24-bit picture of its own size
};

struct GifSource {
    int bitsPerPixel = 8;  // of the whole image
    std::vector<GifSourceFrame> frames;
};

// The readers behind the sources. The real one reads files with the engine's
// codecs (makeFileSourceReader); tests may count or redirect reads.
class SourceReader {
public:
    virtual ~SourceReader() = default;
    // A still picture (.bmp, .jpg, .jpeg, .png, .ico), or the failure text:
    // "This file is not " + "BMP." (and so on), a newline and the path, so a
    // message box says which file failed. Another extension gives an empty
    // picture and success.
    virtual std::optional<Picture> readStill(const std::string& path, std::string& error) = 0;
    // A GIF file with every sub-image, or the failure text
    // "This file is not GIF." + "\n" + path.
    virtual std::optional<GifSource> readGif(const std::string& path, std::string& error) = 0;
};

// The reader over the engine's own codecs.
std::unique_ptr<SourceReader> makeFileSourceReader();

// Errors met while adding files: the texts the window shows in message boxes
// with caption "Error".
struct AddResult {
    int added = 0;
    bool canvasChanged = false;  // FixAtFirstFrame gave the canvas its size
    std::vector<std::string> errors;
};

// Makes the frames of the file at path and inserts them before index at
// (at == frame count appends), in order. Honours and clears FixAtFirstFrame.
AddResult addSourceFile(Project& project, const std::string& path, std::size_t at, SourceReader& reader);

// True for the extensions that Add, Insert and dropping accept.
bool isSourceExtension(const std::string& path);

}  // namespace pelko
