#include "engine/gif_options/still_gif.h"

#include "engine/colour/bitmap.h"
#include "engine/colour/bitmap_frame.h"
#include "engine/gif/optimize.h"

namespace pelko {

void applyFrameSettings(TGIFImage& image, const GifFrameSettings& g)
{
    image.SetDitherMode(TDitherMode(g.ColorDither));
    image.SetColorReduction(TColorReduction(g.ColorReduction));
    image.SetReductionBits(g.ReductionBit);
    image.SetCompression(TGIFCompression(g.GIFCompression));
}

std::unique_ptr<TGIFImage> stillGifImage(const Picture& picture, const GifFrameSettings& settings,
                                         bool optimize)
{
    auto image = std::make_unique<TGIFImage>();
    applyFrameSettings(*image, settings);
    Bitmap bitmap = Bitmap::fromPicture(picture);
    if (settings.GIFTransparent) {
        bitmap.setTransparent(true);
        bitmap.setTransparentColor(settings.TransparentColor);
    }
    AssignImageFromBitmap(*image, bitmap);
    if (optimize)
        OptimizeColorMap(*image);
    return image;
}

}  // namespace pelko
