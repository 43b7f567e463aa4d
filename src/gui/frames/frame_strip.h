#pragma once
// FrameStrip: the cards of the frame list, drawn from the project as it is,
// so card i always shows frame i. Clicks are reported to the window, which
// runs the selection rules.

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "engine/project/project.h"

namespace pelko {

constexpr int kCardWidth = 170;
constexpr int kCardHeight = 150;
constexpr int kCardStep = 154;
constexpr int kCardMargin = 4;
constexpr int kCardBarHeight = 20;

class FrameStrip : public QWidget {
    Q_OBJECT
public:
    explicit FrameStrip(const Project& project, QWidget* parent = nullptr);

    // Sets the content height from the frame count and repaints.
    void frameCountChanged();
    // 154 per card and the margin: the strip's scroll range.
    int contentHeight() const;
    // The card under a content position, or -1.
    int cardAt(QPoint pos) const;
    static QRect cardRect(int index);
    // The 16 x 16 options picture at the left of card index's bottom bar.
    static QRect optionsPictureRect(int index);
    // "Frame #" + (i + 1) and the time caption of card i.
    QString titleText(int index) const;
    QString timeText(int index) const;
    // The picture card index shows for a screen of device pixel ratio dpr:
    // its thumbnail, or on a high-density screen a sharper one made from the
    // frame image at the screen's resolution.
    QImage cardPicture(int index, qreal dpr) const;

signals:
    void cardReleased(int index, Qt::KeyboardModifiers modifiers, Qt::MouseButton button);
    void emptyReleased(Qt::MouseButton button);
    // A left click on a card's options picture.
    void optionsClicked(int index);
    // Delete, the arrow keys, Home and End while the strip has the focus.
    void keyPressed(int key, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;  // the options pictures' hint

private:
    int optionsPictureAt(QPoint pos) const;

    const Project& project_;
    QPixmap optionsPicture_;
    // high-density thumbnails by frame image, dropped when the list changes
    mutable QHash<const void*, QImage> sharp_;
};

}  // namespace pelko
