#pragma once
// FrameStrip: the cards of the frame list, drawn from the project as it is,
// so card i always shows frame i. Clicks are reported to the window, which
// runs the selection rules.
//
// A card's picture comes from the project's frame cache. The strip asks for
// the pictures of the cards in view and a few around them on worker threads;
// a card shows a placeholder until its picture arrives, handed back to the
// user-interface thread, which alone touches the widget. The pictures that
// arrived are kept (within a bound) by what decides them, so moving, deleting
// or cloning frames asks for nothing again.

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QSet>
#include <QStringList>
#include <QThreadPool>
#include <QWidget>
#include <cstdint>

#include "engine/project/project.h"
#include "engine/rules/strip_keys.h"

namespace pelko {

class FrameCache;

constexpr int kCardWidth = 170;
constexpr int kCardHeight = 150;
constexpr int kCardStep = 154;
constexpr int kCardMargin = 4;
constexpr int kCardBarHeight = 20;
// What a card shows while its picture is being made.
inline constexpr QRgb kCardPlaceholder = 0xFFD8D8D8;
// Cards above and below the view whose pictures are asked for ahead.
constexpr int kCardsAhead = 4;

// The picture a card shows for a screen of device pixel ratio dpr: the
// frame's thumbnail, or on a high-density screen a sharper one made from the
// frame image at the screen's resolution. Any thread may call it.
QImage renderCardPicture(FrameCache& cache, const FrameRecord& frame, const ProjectSettings& settings,
                         int number, qreal dpr);

class FrameStrip : public QWidget {
    Q_OBJECT
public:
    explicit FrameStrip(const Project& project, QWidget* parent = nullptr);
    ~FrameStrip() override;

    // Sets the content height from the frame count and repaints.
    void frameCountChanged();
    // 154 per card and the margin: the strip's scroll range.
    int contentHeight() const;
    // The card under a content position, or -1.
    int cardAt(QPoint pos) const;
    static QRect cardRect(int index);
    // The 16 x 16 options picture at the left of card index's bottom bar.
    static QRect optionsPictureRect(int index);
    // The 16 x 16 colour picture at the right of the bar; it answers clicks
    // only in a GIF project (elsewhere it is drawn greyed).
    static QRect colorPictureRect(int index);
    // "Frame #" + (i + 1) and the time caption of card i.
    QString titleText(int index) const;
    QString timeText(int index) const;
    // The picture card index shows for a screen of device pixel ratio dpr,
    // made at once on the calling thread (renderCardPicture).
    QImage cardPicture(int index, qreal dpr) const;
    // Whether card index has its picture (false: it shows the placeholder).
    bool hasPicture(int index) const;
    // Pictures asked of the workers and not yet arrived.
    int picturesInWork() const { return int(inWork_.size()); }

signals:
    void cardReleased(int index, Qt::KeyboardModifiers modifiers, Qt::MouseButton button);
    void emptyReleased(Qt::MouseButton button);
    // A left click on a card's options picture.
    void optionsClicked(int index);
    // A left click on a card's colour picture in a GIF project.
    void colorClicked(int index);
    // The keys while the strip has the focus: Delete, and the arrow keys,
    // Home and End that move the selection.
    void deleteRequested();
    void moveRequested(StripKey key);
    // Pictures arrived from the workers; rendering them may have met
    // problems, which the frame cache holds for the log.
    void picturesArrived();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;  // the options pictures' hint

private:
    int optionsPictureAt(QPoint pos) const;
    int colorPictureAt(QPoint pos) const;
    // What decides card index's picture at dpr.
    QString pictureKey(int index, qreal dpr) const;
    // Drops the pictures kept when the cache read files again.
    void followCache();
    // Asks the workers for the pictures of the cards in view, then of the
    // cards around them, as long as a worker is free.
    void askForPictures();
    void pictureArrived(const QString& key, const QImage& picture, std::uint64_t generation);
    void keepPicture(const QString& key, const QImage& picture);

    const Project& project_;
    QPixmap optionsPicture_;
    QPixmap colorPicture_;
    QPixmap colorPictureOff_;
    QHash<QString, QImage> pictures_;  // by pictureKey; a null image: none could be made
    QStringList pictureOrder_;         // oldest first, to keep pictures_ within its bound
    qint64 pictureBytes_ = 0;
    QSet<QString> inWork_;
    std::uint64_t generation_ = 0;  // the cache's, when pictures_ was filled
    QThreadPool workers_;
};

}  // namespace pelko
