#include "gui/colour/gif_preview_box.h"

#include <QPainter>

namespace pelko {

void GifPreviewBox::paintEvent(QPaintEvent*)
{
    if (image_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

}  // namespace pelko
