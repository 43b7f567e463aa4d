#include "engine/gif_options/gif_color_preview.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "engine/colour/bitmap_frame.h"
#include "engine/gif/gif_image.h"
#include "engine/gif_options/still_gif.h"

namespace pelko {

Picture gifColorBefore(const Picture& picture, int width, int height)
{
    width = std::clamp(width, 0, picture.width());
    height = std::clamp(height, 0, picture.height());
    Picture out(width, height);
    for (int y = 0; y < height; ++y) std::memcpy(out.row(y), picture.row(y), out.stride());
    return out;
}

namespace {

std::vector<Color> paletteOf(const TGIFImage& image)
{
    const TGIFColorMap* map = &image.GetColorMap();
    if (map->GetCount() == 0 && !image.GetEmpty())
        map = &image.Images().GetImage(0)->GetActiveColorMap();
    std::vector<Color> colors;
    colors.reserve(std::size_t(map->GetCount()));
    for (int i = 0; i < map->GetCount(); ++i) colors.push_back(map->GetColor(i));
    return colors;
}

// The bitmap as a picture, its masked pixels in the background colour.
Picture pictureOn(const Bitmap& bitmap, Color background)
{
    Picture out = bitmap.toPicture();
    const Bitmap* mask = bitmap.mask();
    if (!bitmap.transparent() || mask == nullptr || mask->width() != out.width() ||
        mask->height() != out.height())
        return out;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (mask->index(x, y) != 0)
                out.setPixel(x, y, background);
    return out;
}

}  // namespace

GifColorPreview buildGifColorPreview(const Picture& before, const GifFrameSettings& working, bool optimize,
                                     Color background)
{
    GifColorPreview preview;
    if (before.empty())
        return preview;
    try {
        const auto image = stillGifImage(before, working, optimize);
        preview.after = pictureOn(GetBitmap(*image), background);
        preview.palette = paletteOf(*image);
    } catch (const std::exception& e) {
        preview = GifColorPreview{};
        preview.error = e.what();
    }
    return preview;
}

}  // namespace pelko
