#pragma once
// The creeping line dialog's preview: the canvas in the background colour
// with, when asked, the anchor frame behind, and on it the text area that
// shows the current frame and is dragged with the left button.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QWidget>

namespace pelko {

class TextArea : public QWidget {
    Q_OBJECT
public:
    explicit TextArea(QWidget* canvas);
    void setFrame(QImage frame);
    const QImage& frame() const { return frame_; }

signals:
    // The area was let go at its current place on the canvas.
    void moved(QPoint place);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage frame_;
    QPoint grab_;
    bool dragging_ = false;
};

class TextCanvas : public QWidget {
    Q_OBJECT
public:
    TextCanvas(int width, int height, QWidget* parent);
    TextArea* area() const { return area_; }
    // The canvas colour, and the frame shown behind the area (drawn at
    // place) while shown is true.
    void setBackground(QColor colour, const QImage& frame, QPoint place, bool shown);
    // The colour the canvas shows at p.
    QColor colourAt(QPoint p) const;

signals:
    // A click's button-up remembered a colour; a double-click asks for it.
    void colourPicked(QColor colour);
    void colourChosen(QColor colour);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TextArea* area_;
    QColor colour_ = Qt::white;
    QImage frame_;
    QPoint place_;
    bool shown_ = false;
    QColor picked_ = Qt::white;
};

}  // namespace pelko
