#include "gui/effects/text_preview.h"

#include <QMouseEvent>
#include <QPainter>

namespace pelko {

TextArea::TextArea(QWidget* canvas) : QWidget(canvas)
{
    setObjectName("textArea");
    setCursor(Qt::SizeAllCursor);
}

void TextArea::setFrame(QImage frame)
{
    frame_ = std::move(frame);
    update();
}

void TextArea::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, frame_);
}

void TextArea::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    grab_ = event->position().toPoint();
    dragging_ = true;
    setCursor(Qt::ClosedHandCursor);
}

void TextArea::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragging_ || !parentWidget())
        return;
    const QPoint to = pos() + event->position().toPoint() - grab_;
    const QSize canvas = parentWidget()->size();
    // a move that would leave the canvas is ignored, each axis on its own
    QPoint place = pos();
    if (to.x() >= 0 && to.x() + width() <= canvas.width())
        place.setX(to.x());
    if (to.y() >= 0 && to.y() + height() <= canvas.height())
        place.setY(to.y());
    move(place);
}

void TextArea::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    setCursor(Qt::SizeAllCursor);
    emit moved(pos());
}

TextCanvas::TextCanvas(int width, int height, QWidget* parent) : QWidget(parent), area_(new TextArea(this))
{
    setObjectName("textCanvas");
    setFixedSize(std::max(1, width), std::max(1, height));
}

void TextCanvas::setBackground(QColor colour, const QImage& frame, QPoint place, bool shown)
{
    colour_ = colour;
    frame_ = frame;
    place_ = place;
    shown_ = shown;
    setCursor(shown ? Qt::CrossCursor : Qt::ArrowCursor);
    setToolTip(shown ? "Double click to set a background color" : QString());
    update();
}

QColor TextCanvas::colourAt(QPoint p) const
{
    const QPoint inFrame = p - place_;
    if (shown_ && frame_.rect().contains(inFrame))
        return frame_.pixelColor(inFrame);
    return colour_;
}

void TextCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), colour_);
    if (shown_)
        painter.drawImage(place_, frame_);
}

void TextCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (!shown_)
        return;
    picked_ = colourAt(event->position().toPoint());
    emit colourPicked(picked_);
}

void TextCanvas::mouseDoubleClickEvent(QMouseEvent*)
{
    if (shown_)
        emit colourChosen(picked_);
}

}  // namespace pelko
