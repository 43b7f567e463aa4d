#include "gui/app/picture_image.h"

#include <cstring>

namespace pelko {

QImage toImage(const Picture& picture)
{
    if (picture.empty())
        return {};
    QImage image(picture.width(), picture.height(), QImage::Format_BGR888);
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(image.scanLine(y), picture.row(y), picture.stride());
    return image;
}

}  // namespace pelko
