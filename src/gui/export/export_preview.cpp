#include "gui/export/export_preview.h"

#include <QPainter>

namespace pelko {

QRect exportPreviewBox(QSize panelSize, QSize pictureSize)
{
    const int w = pictureSize.width() + 1, h = pictureSize.height() + 1;
    const int x = w <= panelSize.width() ? (panelSize.width() - w) / 2 : 2;
    const int y = h <= panelSize.height() ? (panelSize.height() - h) / 2 : 2;
    return {x, y, w <= panelSize.width() ? w : panelSize.width() - 4,
            h <= panelSize.height() ? h : panelSize.height() - 4};
}

ExportPreview::ExportPreview(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(220, 160);
}

void ExportPreview::setImage(const QImage& image)
{
    image_ = image;
    update();
}

void ExportPreview::paintEvent(QPaintEvent*)
{
    if (image_.isNull())
        return;
    QPainter painter(this);
    const QRect b = box();
    painter.setClipRect(b);
    painter.drawImage(b.topLeft(), image_);
}

}  // namespace pelko
