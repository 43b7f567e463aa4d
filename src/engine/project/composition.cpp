#include "engine/project/composition.h"

#include <algorithm>

#include "engine/image/resample.h"

namespace pelko {

void placeNewFrame(FrameRecord& frame, const Rect& source, const ProjectSettings& settings)
{
    frame.Stretch = settings.Stretch;
    if (settings.Stretch) {
        frame.Left = 0;
        frame.Top = 0;
        frame.Width = settings.Width;
        frame.Height = settings.Height;
        return;
    }
    frame.Left = source.left >= settings.Width ? 0 : source.left;
    frame.Top = source.top >= settings.Height ? 0 : source.top;
    frame.Width = source.width > settings.Width ? settings.Width : source.width;
    frame.Height = source.height > settings.Height ? settings.Height : source.height;
}

Picture composeFrameImage(const Picture& source, int width, int height, bool stretch, int canvasWidth,
                          int canvasHeight)
{
    if (stretch)
        return fitPicture(source, std::max(0, canvasWidth), std::max(0, canvasHeight));
    Picture image(std::max(0, width), std::max(0, height));
    image.draw(source, 0, 0);
    return image;
}

FrameSize frameImageSize(const FrameRecord& frame, const ProjectSettings& settings)
{
    if (frame.Stretch)
        return {std::max(0, settings.Width), std::max(0, settings.Height)};
    return {std::max(0, frame.Width), std::max(0, frame.Height)};
}

Picture makeThumbnail(const Picture& source)
{
    return fitPicture(source, kThumbnailWidth, kThumbnailHeight);
}

Picture previewPicture(const FrameRecord& frame, const Picture& image)
{
    const int w = std::max(0, frame.Width), h = std::max(0, frame.Height);
    if (!pictureSizeAllowed(w, h))
        return image;  // a size no picture can hold shows what there is
    Picture preview(w, h);
    preview.draw(image, 0, 0);
    return preview;
}

void drawFrameOnCanvas(Picture& canvas, const FrameRecord& frame, const Picture& image)
{
    canvas.draw(image, frame.Left, frame.Top);
}

}  // namespace pelko
