#include "engine/effects/generated_frames.h"

#include <algorithm>
#include <stdexcept>

#include "engine/colour/bitmap.h"
#include "engine/colour/bitmap_frame.h"
#include "engine/gif/gif_extensions.h"
#include "engine/project/image_sources.h"

namespace pelko {

void setGeneratedColorSettings(TGIFImage& image, const GifFrameSettings& settings)
{
    image.SetDitherMode(TDitherMode(settings.ColorDither));
    image.SetColorReduction(TColorReduction(settings.ColorReduction));
    image.SetReductionBits(std::clamp(settings.ReductionBit, 3, 8));
    image.SetCompression(TGIFCompression(settings.GIFCompression));
}

void addGeneratedFrame(TGIFImage& image, const Picture& picture, Color transparentColor, int timeMs)
{
    if (picture.width() > image.GetWidth())
        image.SetWidth(picture.width());
    if (picture.height() > image.GetHeight())
        image.SetHeight(picture.height());
    Bitmap bitmap = Bitmap::fromPicture(picture);
    bitmap.setTransparent(false);
    bitmap.setTransparentColor(transparentColor);
    const int index = AddBitmap(image, bitmap);
    TGIFSubImage& frame = *image.Images().GetImage(index);
    frame.SetLeft(0);
    frame.SetTop(0);
    frame.SetWidth(std::uint16_t(picture.width()));
    frame.SetHeight(std::uint16_t(picture.height()));
    if (index == 0) {
        auto loop = std::make_unique<TGIFAppExtNSLoop>(&frame);
        loop->SetLoops(0);
        frame.Extensions().Add(std::move(loop));
    }
    auto control = std::make_unique<TGIFGraphicControlExtension>(&frame);
    control->SetDelay(gifDelayOf(timeMs));
    control->SetTransparent(false);
    frame.Extensions().Add(std::move(control));
}

int insertGeneratedFrames(Project& project, const std::string& path, std::size_t at, SourceReader& reader,
                          const std::function<void(FrameRecord&)>& adjust)
{
    at = std::min(at, project.frames.size());
    const AddResult added = addSourceFile(project, path, at, reader);
    if (!added.errors.empty())
        throw std::runtime_error(added.errors.front());
    for (int j = 0; j < added.added; ++j) adjust(project.frames[at + std::size_t(j)]);
    return added.added;
}

}  // namespace pelko
