#include "engine/playback/playback_picture.h"

#include <algorithm>

#include "engine/project/composition.h"

namespace pelko {

Picture playbackCanvas(const ProjectSettings& settings)
{
    if (settings.Width <= 0 || settings.Height <= 0 || !pictureSizeAllowed(settings.Width, settings.Height))
        return {};
    return Picture(settings.Width, settings.Height);
}

Picture aviPlaybackFrame(const ProjectSettings& settings, const FrameRecord& frame, const Picture& image)
{
    Picture canvas = playbackCanvas(settings);
    drawFrameOnCanvas(canvas, frame, image);
    return canvas;
}

void drawPlaybackFrame(Picture& picture, const FrameRecord& frame, const Picture& image, bool transparent)
{
    if (!transparent) {
        drawFrameOnCanvas(picture, frame, image);
        return;
    }
    const Color key = frame.Gif.TransparentColor;
    const std::uint8_t b = blueOf(key), g = greenOf(key), r = redOf(key);
    // the part of the image that lands on the picture, in 64 bits so that no
    // placement overflows
    const std::int64_t x0 = std::max<std::int64_t>(0, frame.Left);
    const std::int64_t y0 = std::max<std::int64_t>(0, frame.Top);
    const std::int64_t x1 = std::min<std::int64_t>(picture.width(), std::int64_t(frame.Left) + image.width());
    const std::int64_t y1 =
        std::min<std::int64_t>(picture.height(), std::int64_t(frame.Top) + image.height());
    for (std::int64_t y = y0; y < y1; ++y) {
        const std::uint8_t* s = image.row(int(y - frame.Top)) + (x0 - frame.Left) * 3;
        std::uint8_t* d = picture.row(int(y)) + x0 * 3;
        for (std::int64_t x = x0; x < x1; ++x, s += 3, d += 3)
            if (s[0] != b || s[1] != g || s[2] != r) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
    }
}

}  // namespace pelko
