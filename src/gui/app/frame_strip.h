#pragma once
// FrameStrip: the cards of the frame list, drawn from the project as it is,
// so card i always shows frame i. Clicks are reported to the window, which
// runs the selection rules.

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
    // "Frame #" + (i + 1) and the time caption of card i.
    QString titleText(int index) const;
    QString timeText(int index) const;

signals:
    void cardReleased(int index, Qt::KeyboardModifiers modifiers, Qt::MouseButton button);
    void emptyReleased(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const Project& project_;
};

}  // namespace pelko
