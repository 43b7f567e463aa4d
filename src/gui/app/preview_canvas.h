#pragma once
// PreviewCanvas: the silver output canvas with a lowered bevel. Its paint
// surface is the project's Width x Height; the preview picture sits at its
// offset, clipped. The selected frame is dragged here.

#include <QFrame>
#include <QImage>
#include <functional>

namespace pelko {

class PreviewCanvas : public QFrame {
    Q_OBJECT
public:
    explicit PreviewCanvas(QWidget* parent = nullptr);

    void setSurfaceSize(int width, int height);
    QSize surfaceSize() const { return surface_; }
    void setPicture(QImage picture, QPoint offset);
    const QImage& picture() const { return picture_; }
    QPoint offset() const { return offset_; }
    bool dragging() const { return dragging_; }

    // Asked when a drag may start; gives the stored place of the frame.
    std::function<bool(QPoint& stored)> canDrag;
    // Clamps a place while dragging.
    std::function<QPoint(QPoint place)> clamp;
    // The drag ended at this place.
    std::function<void(QPoint place)> dropped;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint surfacePos(QPointF widgetPos) const;

    QSize surface_;
    QImage picture_;
    QPoint offset_;
    bool dragging_ = false;
    QPoint dragStart_;
    QPoint stored_;
};

}  // namespace pelko
