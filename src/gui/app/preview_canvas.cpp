#include "gui/app/preview_canvas.h"

#include <QMouseEvent>
#include <QPainter>

namespace pelko {

namespace {
constexpr int kBevel = 2;
}

PreviewCanvas::PreviewCanvas(QWidget* parent) : QFrame(parent)
{
    setObjectName("previewCanvas");
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kBevel);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    setPalette(p);
    setSurfaceSize(0, 0);
}

void PreviewCanvas::setSurfaceSize(int width, int height)
{
    surface_ = QSize(std::max(width, 0), std::max(height, 0));
    setFixedSize(surface_.width() + 2 * kBevel, surface_.height() + 2 * kBevel);
    update();
}

void PreviewCanvas::setPicture(QImage picture, QPoint offset)
{
    picture_ = std::move(picture);
    offset_ = offset;
    update();
}

QPoint PreviewCanvas::surfacePos(QPointF widgetPos) const
{
    return widgetPos.toPoint() - QPoint(kBevel, kBevel);
}

void PreviewCanvas::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.setClipRect(QRect(QPoint(kBevel, kBevel), surface_));
    painter.drawImage(QPoint(kBevel, kBevel) + offset_, picture_);
}

void PreviewCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !canDrag || !canDrag(stored_)) {
        QFrame::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    dragStart_ = surfacePos(event->position());
    setCursor(Qt::SizeAllCursor);
}

void PreviewCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_)
        return;
    QPoint place = surfacePos(event->position()) - dragStart_ + stored_;
    if (clamp)
        place = clamp(place);
    offset_ = place;
    update();
}

void PreviewCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (!dragging_ || event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    unsetCursor();
    if (dropped)
        dropped(offset_);
}

}  // namespace pelko
