#pragma once
// CapturePreview: the settings dialog's paint box. It shows the whole screen
// reduced to its size and the capture area as a red outline, which the left
// mouse button drags; each axis stops at the box's edges on its own, so a
// diagonal drag past one edge still moves along the other.

#include <QImage>
#include <QRect>
#include <QWidget>

namespace pelko {

class CapturePreview : public QWidget {
    Q_OBJECT
public:
    // The box's size at the dialog's designed size.
    static constexpr int kWidth = 506;
    static constexpr int kHeight = 381;

    explicit CapturePreview(QWidget* parent = nullptr);

    void setScreen(const QImage& reduced);
    const QImage& screen() const { return screen_; }
    // The area in the box's pixels.
    void setArea(const QRect& area);
    QRect area() const { return area_; }
    bool dragging() const { return dragging_; }

signals:
    // The area was dragged to a new place.
    void moved(QPoint topLeft);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void updateCursor(QPoint at);

    QImage screen_;
    QRect area_;
    bool dragging_ = false;
    QPoint grip_;  // where the area was taken, from its top-left corner
};

}  // namespace pelko
