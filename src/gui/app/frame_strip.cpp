#include "gui/app/frame_strip.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <exception>
#include <optional>

#include "engine/project/composition.h"
#include "engine/project/frame_cache.h"
#include "gui/app/icons.h"
#include "gui/app/picture_image.h"

namespace pelko {
namespace {

// The pictures the strip keeps: a few hundred cards at any density.
constexpr qint64 kPictureBytes = qint64(48) << 20;
// Workers making pictures; the rest of the machine stays free for the window.
constexpr int kWorkers = 2;

// A frame image larger than a thumbnail is reduced to make one.
bool reduced(const FrameRecord& f, const ProjectSettings& s)
{
    const FrameSize size = frameImageSize(f, s);
    return size.width > kThumbnailWidth || size.height > kThumbnailHeight;
}

}  // namespace

QImage renderCardPicture(FrameCache& cache, const FrameRecord& f, const ProjectSettings& s, int number,
                         qreal dpr)
{
    // On a screen of more than one device pixel per point, a picture the
    // thumbnail reduces is made from as many of its pixels as the card has
    // device pixels (never enlarged), and shown at the thumbnail's size: it
    // fills the card as the thumbnail does, sharply.
    if (dpr > 1 && reduced(f, s)) {
        const FrameSize size = frameImageSize(f, s);
        // the smallest box of the card's shape that holds the picture whole
        const int boxWidth =
            std::max(size.width, (size.height * kThumbnailWidth + kThumbnailHeight - 1) / kThumbnailHeight);
        const int width = std::min(int(kThumbnailWidth * dpr), boxWidth);
        const int height = std::max(1, width * kThumbnailHeight / kThumbnailWidth);
        const FramePicture sharp = cache.fittedImage(f, s, width, height, number);
        if (sharp.ok() && sharp.picture->width() > 0) {
            QImage image = toImage(*sharp.picture);
            image.setDevicePixelRatio(std::max(1.0, double(width) / kThumbnailWidth));
            return image;
        }
    }
    return toImage(cache.thumbnail(f, number).get());
}

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
    colorPicture_ = drawnIcon(IconKind::OptimizeColor).pixmap(16, 16);
    colorPictureOff_ = drawnIcon(IconKind::OptimizeColor).pixmap(16, 16, QIcon::Disabled);
    workers_.setMaxThreadCount(kWorkers);
    generation_ = project_.cache->generation();
    frameCountChanged();
}

FrameStrip::~FrameStrip()
{
    // a worker hands its picture to this strip: none may be left running
    workers_.clear();
    workers_.waitForDone();
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

QRect FrameStrip::colorPictureRect(int index)
{
    const QRect card = cardRect(index);
    return {card.left() + card.width() - 22, card.bottom() - kCardBarHeight + 1 + 2, 16, 16};
}

int FrameStrip::colorPictureAt(QPoint pos) const
{
    const int i = cardAt(pos);
    return i >= 0 && project_.settings.isGif() && colorPictureRect(i).contains(pos) ? i : -1;
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
    return renderCardPicture(*project_.cache, project_.frames[std::size_t(index)], project_.settings,
                             index + 1, dpr);
}

QString FrameStrip::pictureKey(int index, qreal dpr) const
{
    const FrameRecord& f = project_.frames[std::size_t(index)];
    if (dpr > 1 && reduced(f, project_.settings))
        return QString::number(dpr) + ' ' +
               QString::fromStdString(FrameCache::imageIdentity(f, project_.settings));
    return QString::fromStdString(FrameCache::thumbnailIdentity(f));
}

bool FrameStrip::hasPicture(int index) const
{
    return index >= 0 && index < project_.frames.count() &&
           pictures_.contains(pictureKey(index, devicePixelRatioF()));
}

void FrameStrip::followCache()
{
    const std::uint64_t now = project_.cache->generation();
    if (now == generation_)
        return;
    generation_ = now;
    pictures_.clear();
    pictureOrder_.clear();
    pictureBytes_ = 0;
}

void FrameStrip::keepPicture(const QString& key, const QImage& picture)
{
    if (pictures_.contains(key))
        return;
    pictures_.insert(key, picture);
    pictureOrder_.append(key);
    pictureBytes_ += picture.sizeInBytes();
    while (pictureBytes_ > kPictureBytes && pictureOrder_.size() > 1)
        pictureBytes_ -= pictures_.take(pictureOrder_.takeFirst()).sizeInBytes();
}

void FrameStrip::askForPictures()
{
    const int n = project_.frames.count();
    const QRect view = visibleRegion().boundingRect();
    if (n == 0 || view.isEmpty() || !updatesEnabled())
        return;
    const int first = std::clamp((view.top() - kCardMargin) / kCardStep, 0, n - 1);
    const int last = std::clamp((view.bottom() - kCardMargin) / kCardStep, 0, n - 1);
    // the cards in view from the top, then the ones around them, nearest first
    QList<int> order;
    for (int i = first; i <= last; ++i) order << i;
    for (int k = 1; k <= kCardsAhead; ++k) {
        if (last + k < n)
            order << last + k;
        if (first - k >= 0)
            order << first - k;
    }
    const qreal dpr = devicePixelRatioF();
    for (int i : order) {
        if (inWork_.size() >= kWorkers)
            return;
        const QString key = pictureKey(i, dpr);
        if (pictures_.contains(key) || inWork_.contains(key))
            continue;
        inWork_.insert(key);
        // The worker gets copies of what it needs: the frame and the
        // settings as they are now, and the cache itself.
        const FrameRecord frame = project_.frames[std::size_t(i)];
        const ProjectSettings settings = project_.settings;
        const std::shared_ptr<FrameCache> cache = project_.cache;
        const std::uint64_t generation = generation_;
        workers_.start([this, frame, settings, cache, key, dpr, generation, number = i + 1] {
            QImage picture;
            try {
                picture = renderCardPicture(*cache, frame, settings, number, dpr);
            } catch (const std::exception&) {
                // no memory for the picture: the card stays without one
            }
            QMetaObject::invokeMethod(
                this, [this, key, picture, generation] { pictureArrived(key, picture, generation); },
                Qt::QueuedConnection);
        });
    }
}

void FrameStrip::pictureArrived(const QString& key, const QImage& picture, std::uint64_t generation)
{
    inWork_.remove(key);
    followCache();
    if (generation == generation_)
        keepPicture(key, picture);
    update();  // painting asks for the next pictures
    emit picturesArrived();
}

void FrameStrip::paintEvent(QPaintEvent* event)
{
    followCache();
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
        painter.drawPixmap(colorPictureRect(i).topLeft(),
                           project_.settings.isGif() ? colorPicture_ : colorPictureOff_);

        // the middle part: a lowered bevel around the thumbnail
        painter.fillRect(middle, face);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(middle.topLeft(), middle.topRight());
        painter.drawLine(middle.topLeft(), middle.bottomLeft());
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(middle.bottomLeft(), middle.bottomRight());
        painter.drawLine(middle.topRight(), middle.bottomRight());
        const QRect inner = middle.adjusted(1, 1, -1, -1);
        painter.save();
        painter.setClipRect(inner);
        const auto picture = pictures_.constFind(pictureKey(i, devicePixelRatioF()));
        if (picture == pictures_.constEnd())
            painter.fillRect(QRect(inner.topLeft(), QSize(kThumbnailWidth, kThumbnailHeight)),
                             QColor::fromRgb(kCardPlaceholder));
        else if (!picture->isNull())
            painter.drawImage(inner.topLeft(), *picture);
        if (project_.selection.contains(i)) {
            QPen mark(QColor(0xFF, 0, 0));
            mark.setStyle(Qt::DotLine);
            painter.setPen(mark);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(inner.adjusted(0, 0, -1, -1));
        }
        painter.restore();
    }
    askForPictures();
}

void FrameStrip::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (optionsPictureAt(pos) >= 0 || colorPictureAt(pos) >= 0)
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
        else if (colorPictureAt(help->pos()) >= 0)
            QToolTip::showText(help->globalPos(), "Optimize frame's color", this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

// The strip's keys, without Ctrl, Alt or Meta: Delete deletes, the arrows,
// Home and End move the selection.
void FrameStrip::keyPressEvent(QKeyEvent* event)
{
    std::optional<StripKey> move;
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            move = StripKey::Previous;
            break;
        case Qt::Key_Down:
        case Qt::Key_Right:
            move = StripKey::Next;
            break;
        case Qt::Key_Home:
            move = StripKey::First;
            break;
        case Qt::Key_End:
            move = StripKey::Last;
            break;
        case Qt::Key_Delete:
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return;
    if (move)
        emit moveRequested(*move);
    else
        emit deleteRequested();
}

void FrameStrip::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const int options = optionsPictureAt(pos);
    if (options >= 0 && event->button() == Qt::LeftButton) {
        emit optionsClicked(options);
        return;
    }
    const int colour = colorPictureAt(pos);
    if (colour >= 0 && event->button() == Qt::LeftButton) {
        emit colorClicked(colour);
        return;
    }
    const int i = cardAt(pos);
    if (i >= 0)
        emit cardReleased(i, event->modifiers(), event->button());
    else
        emit emptyReleased(event->button());
}

}  // namespace pelko
