// The source reader over the engine's own codecs.

#include <exception>
#include <memory>
#include <new>
#include <stdexcept>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/gif_image.h"
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

// "PATH: reason", or the path alone when there is no reason to give.
std::string withReason(const std::string& path, const std::string& reason)
{
    if (reason.empty())
        return path;
    if (reason.rfind(path + ": ", 0) == 0)
        return reason;  // it names the file already
    return path + ": " + reason;
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
            error = e.what() + ("\n" + withReason(path, e.reason()));
        } catch (const std::bad_alloc&) {
            error = "This file is not " + kindText(path) + "\n" + withReason(path, "not enough memory");
        } catch (const std::exception& e) {
            // anything else (a file that vanished) is reported like a decoder
            // error, with what went wrong
            error = "This file is not " + kindText(path) + "\n" + withReason(path, e.what());
        }
        return std::nullopt;
    }

    std::optional<GifSource> readGif(const std::string& path, std::string& error) override
    {
        try {
            // No painter may start while a source is read: this image alone
            // leaves out goAnimate, the codec's defaults stay as they are.
            TGIFImage image;
            TGIFDrawOptions options = image.GetDrawOptions();
            options.Exclude(goAnimate);
            image.SetDrawOptions(options);
            image.LoadFromFile(path);
            return toSource(image);
        } catch (const std::bad_alloc&) {
            error = "This file is not GIF.\n" + withReason(path, "not enough memory");
            return std::nullopt;
        } catch (const std::exception& e) {
            error = "This file is not GIF.\n" + withReason(path, e.what());
            return std::nullopt;
        }
    }

private:
    // The colours of a sub-image's indices: its active map, the first colour
    // for an index past the map's end, black for a sub-image without a map.
    static GifColorTable colorTable(const TGIFSubImage& sub)
    {
        const TGIFColorMap& map = sub.GetActiveColorMap();
        GifColorTable table{};
        const int count = map.GetCount();
        for (int i = 0; i < 256; ++i)
            table[std::size_t(i)] = count == 0 ? 0 : map.GetColor(i < count ? i : 0);
        return table;
    }

    // The compact form: every sub-image keeps its indices (taken over from the
    // decoded image, not copied) and a colour table, shared with the
    // sub-image before it when the two are the same.
    static GifSource toSource(TGIFImage& image)
    {
        GifSource source;
        source.bitsPerPixel = image.GetBitsPerPixel();
        TGIFImageList& images = image.Images();
        std::shared_ptr<const GifColorTable> lastTable;
        for (int i = 0; i < images.GetCount(); ++i) {
            TGIFSubImage& sub = *images.GetImage(i);
            GifSourceFrame frame;
            frame.empty = sub.GetEmpty();
            frame.rect = {sub.GetLeft(), sub.GetTop(), sub.GetWidth(), sub.GetHeight()};
            frame.bitsPerPixel = sub.GetBitsPerPixel();
            if (const TGIFGraphicControlExtension* gce = sub.GraphicControlExtension()) {
                frame.hasControl = true;
                frame.delay = gce->GetDelay();
                frame.disposal = int(gce->GetDisposal());
                frame.transparent = gce->GetTransparent();
                frame.transparentIndex = gce->GetTransparentColorIndex();
                const TGIFColorMap& map = sub.GetActiveColorMap();
                if (frame.transparentIndex < map.GetCount())
                    frame.transparentColor = map.GetColor(frame.transparentIndex);
            }
            if (!frame.empty) {
                const GifColorTable table = colorTable(sub);
                if (!lastTable || *lastTable != table)
                    lastTable = std::make_shared<const GifColorTable>(table);
                frame.colors = lastTable;
                // refused here, as the 24-bit picture it becomes would be
                if (!pictureSizeAllowed(frame.rect.width, frame.rect.height))
                    throw std::length_error("GIF sub-image too large");
                frame.indices = std::move(sub.Data());
            }
            source.frames.push_back(std::move(frame));
        }
        return source;
    }
};

}  // namespace

std::unique_ptr<SourceReader> makeFileSourceReader()
{
    return std::make_unique<FileSourceReader>();
}

}  // namespace pelko
