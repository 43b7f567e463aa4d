#include "gui/capture/capture_preview.h"

#include <QMouseEvent>
#include <QPainter>

#include "engine/base/geometry.h"

namespace pelko {

CapturePreview::CapturePreview(QWidget* parent) : QWidget(parent)
{
    setObjectName("capturePreview");
    setFixedSize(kWidth, kHeight);
    setMouseTracking(true);
}

void CapturePreview::setScreen(const QImage& reduced)
{
    screen_ = reduced;
    update();
}

void CapturePreview::setArea(const QRect& area)
{
    if (area == area_)
        return;
    area_ = area;
    update();
}

void CapturePreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawImage(0, 0, screen_);
    painter.setPen(QPen(Qt::red, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area_.adjusted(0, 0, -1, -1));
}

void CapturePreview::updateCursor(QPoint at)
{
    if (dragging_ || area_.contains(at))
        setCursor(Qt::SizeAllCursor);
    else
        unsetCursor();
}

void CapturePreview::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton && area_.contains(at)) {
        dragging_ = true;
        grip_ = at - area_.topLeft();
    }
    updateCursor(at);
}

void CapturePreview::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (dragging_) {
        const QPoint wanted = at - grip_;
        const Point p = clampDrag(wanted.x(), wanted.y(), area_.width(), area_.height(), width(), height());
        // an area as large as the box stays where it is on that axis
        const QPoint place(area_.width() <= width() ? p.x : area_.left(),
                           area_.height() <= height() ? p.y : area_.top());
        if (place != area_.topLeft()) {
            area_.moveTopLeft(place);
            update();
            emit moved(place);
        }
    }
    updateCursor(at);
}

void CapturePreview::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        dragging_ = false;
    updateCursor(event->position().toPoint());
}

}  // namespace pelko
