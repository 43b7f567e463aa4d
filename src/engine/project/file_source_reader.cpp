// The source reader over the engine's own codecs.

#include <exception>

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

class FileSourceReader : public SourceReader {
public:
    std::optional<Picture> readStill(const std::string& path, std::string& error) override
    {
        if (!isSourceExtension(path) || hasExtension(path, ".gif"))
            return Picture();
        try {
            return readStillPicture(path);
        } catch (const PictureReadError& e) {
            error = e.what() + ("\n" + path);
        } catch (const std::exception&) {
            // anything else (a file that vanished, no memory for its size) is
            // reported like a decoder error
            error = "This file is not " + kindText(path) + "\n" + path;
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
        } catch (const std::exception&) {
            error = "This file is not GIF.\n" + path;
            return std::nullopt;
        }
    }

private:
    // Each sub-image's indices through its active map as a picture of its own
    // size; an index the map does not hold shows its first colour.
    static Picture subImagePicture(const TGIFSubImage& sub)
    {
        const TGIFColorMap& map = sub.GetActiveColorMap();
        Color table[256];
        const int count = map.GetCount();
        for (int i = 0; i < 256; ++i) table[i] = count == 0 ? 0 : map.GetColor(i < count ? i : 0);
        Picture picture(sub.GetWidth(), sub.GetHeight());
        const std::vector<std::uint8_t>& data = sub.Data();
        const std::size_t w = std::size_t(sub.GetWidth());
        for (int y = 0; y < picture.height(); ++y) {
            std::uint8_t* out = picture.row(y);
            for (std::size_t x = 0; x < w; ++x, out += 3) {
                const std::size_t at = std::size_t(y) * w + x;
                const Color c = table[at < data.size() ? data[at] : 0];
                out[0] = blueOf(c);
                out[1] = greenOf(c);
                out[2] = redOf(c);
            }
        }
        return picture;
    }

    static GifSource toSource(const TGIFImage& image)
    {
        GifSource source;
        source.bitsPerPixel = image.GetBitsPerPixel();
        const TGIFImageList& images = image.Images();
        for (int i = 0; i < images.GetCount(); ++i) {
            const TGIFSubImage& sub = *images.GetImage(i);
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
            if (!frame.empty)
                frame.picture = subImagePicture(sub);
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
