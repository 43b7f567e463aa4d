#include "gui/frames/frame_strip.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include "engine/image/resample.h"
#include "engine/project/composition.h"
#include "gui/app/icons.h"
#include "gui/app/picture_image.h"

namespace pelko {

FrameStrip::FrameStrip(const Project& project, QWidget* parent) : QWidget(parent), project_(project)
{
    setObjectName("frameCards");
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMouseTracking(true);  // the hand cursor over the options pictures
    setFocusPolicy(Qt::StrongFocus);
    optionsPicture_ = drawnIcon(IconKind::FrameOptions).pixmap(16, 16);
    frameCountChanged();
}

void FrameStrip::frameCountChanged()
{
    sharp_.clear();
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

QRect FrameStrip::optionsPictureRect(int index)
{
    const QRect card = cardRect(index);
    return {card.left() + 6, card.bottom() - kCardBarHeight + 1 + 2, 16, 16};
}

int FrameStrip::optionsPictureAt(QPoint pos) const
{
    const int i = cardAt(pos);
    return i >= 0 && optionsPictureRect(i).contains(pos) ? i : -1;
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

QImage FrameStrip::cardPicture(int index, qreal dpr) const
{
    const FrameRecord& f = project_.frames[std::size_t(index)];
    const Picture& image = f.image;
    const bool reduced = image.width() > kThumbnailWidth || image.height() > kThumbnailHeight;
    if (dpr <= 1 || !reduced || f.thumbnail.empty())
        return toImage(f.thumbnail);  // a picture shown unscaled stays sharp when doubled
    const void* key = image.data();
    auto it = sharp_.find(key);
    if (it == sharp_.end() || !qFuzzyCompare(it->devicePixelRatio(), dpr)) {
        QImage sharp = toImage(fitPicture(image, int(kThumbnailWidth * dpr), int(kThumbnailHeight * dpr)));
        sharp.setDevicePixelRatio(dpr);
        if (sharp_.size() >= 64)  // a few screens of cards, not the whole list
            sharp_.clear();
        it = sharp_.insert(key, sharp);
    }
    return *it;
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
        painter.drawPixmap(optionsPictureRect(i).topLeft(), optionsPicture_);

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
        const QImage picture = cardPicture(i, devicePixelRatioF());
        if (!picture.isNull())
            painter.drawImage(inner.topLeft(), picture);
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

void FrameStrip::mouseMoveEvent(QMouseEvent* event)
{
    if (optionsPictureAt(event->position().toPoint()) >= 0)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

bool FrameStrip::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (optionsPictureAt(help->pos()) >= 0)
            QToolTip::showText(help->globalPos(), "Frame options", this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void FrameStrip::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
        case Qt::Key_Delete:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
            emit keyPressed(event->key(), event->modifiers());
            event->accept();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void FrameStrip::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int options = optionsPictureAt(pos);
    if (options >= 0 && event->button() == Qt::LeftButton) {
        emit optionsClicked(options);
        return;
    }
    const int i = cardAt(pos);
    if (i >= 0)
        emit cardReleased(i, event->modifiers(), event->button());
    else
        emit emptyReleased(event->button());
}

}  // namespace pelko
