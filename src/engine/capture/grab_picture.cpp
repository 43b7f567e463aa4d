#include "engine/capture/grab_picture.h"

#include <algorithm>

namespace pelko {

void drawCursor(Picture& picture, const CursorImage& cursor, Point origin)
{
    const Picture& c = cursor.picture;
    if (c.empty() || cursor.alpha.size() < std::size_t(c.width()) * std::size_t(c.height()))
        return;
    const int left = cursor.x - origin.x - cursor.hotX;
    const int top = cursor.y - origin.y - cursor.hotY;
    const int x0 = std::max(0, -left), x1 = std::min(c.width(), picture.width() - left);
    const int y0 = std::max(0, -top), y1 = std::min(c.height(), picture.height() - top);
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* src = c.row(y);
        const std::uint8_t* a = cursor.alpha.data() + std::size_t(y) * std::size_t(c.width());
        std::uint8_t* dst = picture.row(top + y);
        for (int x = x0; x < x1; ++x) {
            const unsigned alpha = a[x];
            if (alpha == 0)
                continue;
            for (int k = 0; k < 3; ++k) {
                std::uint8_t& d = dst[std::size_t(left + x) * 3 + std::size_t(k)];
                d = std::uint8_t(
                    (src[std::size_t(x) * 3 + std::size_t(k)] * alpha + d * (255 - alpha) + 127) / 255);
            }
        }
    }
}

Picture grabCapturePicture(ScreenGrabber& grabber, const Rect& area, bool withCursor)
{
    Picture picture = grabber.grab(area.left, area.top, area.width, area.height);
    if (withCursor)
        if (const std::optional<CursorImage> cursor = grabber.cursor())
            drawCursor(picture, *cursor, {area.left, area.top});
    return picture;
}

}  // namespace pelko
