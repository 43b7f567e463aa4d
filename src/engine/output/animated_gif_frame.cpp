#include "engine/output/animated_gif_frame.h"

#include <stdexcept>

#include "engine/colour/bitmap_frame.h"
#include "engine/gif/gif_extensions.h"
#include "engine/project/composition.h"
#include "engine/project/frame_cache.h"

namespace pelko {

// The frame image comes from the project's frame cache, which keeps the
// source but not the frame image (every frame is converted once).
Bitmap workingBitmap(const Project& project, int index)
{
    const FrameRecord& f = project.frames[std::size_t(index)];
    const FramePicture image = frameImage(project, index, false);
    if (!image.ok())
        throw std::runtime_error(frameFailureLine(project, index, image.status));
    Bitmap working = Bitmap::fromPicture(previewPicture(f, *image.picture));
    working.setTransparent(f.Gif.GIFTransparent);
    if (working.transparent())
        working.setTransparentColor(f.Gif.TransparentColor);
    return working;
}

void setUpFrame(TGIFSubImage& frame, const Project& project, int index, const AnimatedGifOptions& options)
{
    const FrameRecord& f = project.frames[std::size_t(index)];
    frame.SetLeft(std::uint16_t(f.Left));
    frame.SetTop(std::uint16_t(f.Top));
    frame.SetWidth(std::uint16_t(f.Width));
    frame.SetHeight(std::uint16_t(f.Height));
    frame.SetInterlaced(options.interlaced);

    if (index == 0) {
        auto loop = std::make_unique<TGIFAppExtNSLoop>(&frame);
        loop->SetLoops(options.loops);
        frame.Extensions().Add(std::move(loop));
    }
    // One graphic control extension per frame. When the add turned the
    // transparent colour into transparent pixels it made one already, with
    // the index of the entry it added for them: that one gets the delay and
    // disposal (a second extension would hide them from readers that take
    // the first, and a black looked up again could be a real black pixel).
    if (TGIFGraphicControlExtension* made = frame.GraphicControlExtension()) {
        made->SetDelay(gifDelayOf(f.Time));
        made->SetDisposal(TDisposalMethod(f.Gif.DisposalMethod & 7));
    } else {
        // no pixel had the transparent colour: nothing to make transparent
        auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
        gce->SetDelay(gifDelayOf(f.Time));
        gce->SetDisposal(TDisposalMethod(f.Gif.DisposalMethod & 7));
        frame.Extensions().Add(std::move(gce));
    }
}

Bitmap frameBitmap(const Project& project, int index, SmallerGifFrames* smaller)
{
    if (!smaller)
        return workingBitmap(project, index);
    Bitmap working;
    try {
        working = workingBitmap(project, index);
    } catch (...) {
        smaller->skip(index);
        throw;
    }
    return smaller->frameBitmap(index, working);
}

std::unique_ptr<TGIFImage> convertFrame(const Project& project, int index, const AnimatedGifOptions& options,
                                        SmallerGifFrames* smaller)
{
    auto image = std::make_unique<TGIFImage>();
    applyFrameSettings(*image, project.frames[std::size_t(index)].Gif);
    const int at = AddBitmap(*image, frameBitmap(project, index, smaller));
    setUpFrame(*image->Images().GetImage(at), project, index, options);
    return image;
}

}  // namespace pelko
