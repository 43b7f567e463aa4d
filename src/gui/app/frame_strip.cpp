#include "gui/app/frame_strip.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "gui/app/picture_image.h"

namespace pelko {

FrameStrip::FrameStrip(const Project& project, QWidget* parent) : QWidget(parent), project_(project)
{
    setObjectName("frameCards");
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    frameCountChanged();
}

void FrameStrip::frameCountChanged()
{
    setMinimumHeight(contentHeight());
    update();
}

int FrameStrip::contentHeight() const
{
    return kCardStep * project_.frames.count() + kCardMargin;
}

QRect FrameStrip::cardRect(int index)
{
    return {kCardMargin, kCardMargin + kCardStep * index, kCardWidth, kCardHeight};
}

int FrameStrip::cardAt(QPoint pos) const
{
    if (pos.y() < kCardMargin)
        return -1;
    const int i = (pos.y() - kCardMargin) / kCardStep;
    if (i >= project_.frames.count() || !cardRect(i).contains(pos))
        return -1;
    return i;
}

QString FrameStrip::titleText(int index) const
{
    return QString("Frame #%1").arg(index + 1);
}

QString FrameStrip::timeText(int index) const
{
    return QString("%1 msec").arg(project_.frames[std::size_t(index)].Time);
}

void FrameStrip::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const int n = project_.frames.count();
    const int firstCard = std::max(0, (event->rect().top() - kCardMargin) / kCardStep);
    const int lastCard = std::min(n - 1, (event->rect().bottom() - kCardMargin) / kCardStep);
    const QColor face = palette().color(QPalette::Button);
    for (int i = firstCard; i <= lastCard; ++i) {
        const QRect card = cardRect(i);
        const QRect top(card.left(), card.top(), card.width(), kCardBarHeight);
        const QRect bottom(card.left(), card.bottom() - kCardBarHeight + 1, card.width(), kCardBarHeight);
        const QRect middle(card.left(), top.bottom() + 1, card.width(), card.height() - 2 * kCardBarHeight);

        painter.fillRect(top, face);
        painter.fillRect(bottom, face);
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(top, Qt::AlignCenter, titleText(i));
        painter.drawText(bottom, Qt::AlignCenter, timeText(i));

        // the middle part: a lowered bevel around the thumbnail
        painter.fillRect(middle, face);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(middle.topLeft(), middle.topRight());
        painter.drawLine(middle.topLeft(), middle.bottomLeft());
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(middle.bottomLeft(), middle.bottomRight());
        painter.drawLine(middle.topRight(), middle.bottomRight());
        const QRect inner = middle.adjusted(1, 1, -1, -1);
        const FrameRecord& f = project_.frames[std::size_t(i)];
        painter.save();
        painter.setClipRect(inner);
        if (!f.thumbnail.empty())
            painter.drawImage(inner.topLeft(), toImage(f.thumbnail));
        if (project_.selection.contains(i)) {
            QPen mark(QColor(0xFF, 0, 0));
            mark.setStyle(Qt::DotLine);
            painter.setPen(mark);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(inner.adjusted(0, 0, -1, -1));
        }
        painter.restore();
    }
}

void FrameStrip::mouseReleaseEvent(QMouseEvent* event)
{
    const int i = cardAt(event->position().toPoint());
    if (i >= 0)
        emit cardReleased(i, event->modifiers(), event->button());
    else
        emit emptyReleased(event->button());
}

}  // namespace pelko
