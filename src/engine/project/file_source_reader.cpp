// The source reader over the engine's own codecs.

#include <exception>

#include "engine/image/file_kind.h"
#include "engine/image/picture_reader.h"
#include "engine/project/image_sources.h"

namespace pelko {
namespace {

std::string kindText(const std::string& path)
{
    const std::string ext = fileExtension(path);
    if (ext == ".bmp")
        return "BMP.";
    if (ext == ".jpg" || ext == ".jpeg")
        return "JPG.";
    if (ext == ".png")
        return "PNG.";
    if (ext == ".ico")
        return "ICO.";
    return "GIF.";
}

class FileSourceReader : public SourceReader {
public:
    std::optional<Picture> readStill(const std::string& path, std::string& error) override
    {
        if (!isSourceExtension(path) || hasExtension(path, ".gif"))
            return Picture();
        try {
            return readStillPicture(path);
        } catch (const PictureReadError& e) {
            error = e.what();
        } catch (const std::exception&) {
            // anything else (a file that vanished, no memory for its size) is
            // reported like a decoder error
            error = "This file is not " + kindText(path);
        }
        return std::nullopt;
    }

    std::optional<GifSource> readGif(const std::string& path, std::string& error) override
    {
        error = "This file is not GIF.";
        return std::nullopt;
    }
};

}  // namespace

std::unique_ptr<SourceReader> makeFileSourceReader() { return std::make_unique<FileSourceReader>(); }

}  // namespace pelko
