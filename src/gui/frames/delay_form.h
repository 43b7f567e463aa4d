#pragma once
// TDelayForm: the Frame options dialog. It edits the time and the placement
// of the selected frames over a preview of the canvas, and keeps a mark per
// control saying whether its value is to be applied. The values and marks go
// to the engine (engine/project/frame_options.h) after "OK".

#include <QDialog>
#include <QImage>
#include <QWidget>

#include "engine/project/frame_cache.h"
#include "engine/project/frame_options.h"
#include "engine/project/project.h"

class QCheckBox;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace pelko {

class DelayRectangle;

// Background colours that show whether a control's value will be applied.
inline constexpr QRgb kMarkedField = 0xFFFFFF;
inline constexpr QRgb kUnmarkedField = 0xE6E6E6;

class TDelayForm : public QDialog {
    Q_OBJECT
public:
    // project must hold a selection; its first element is the anchor.
    TDelayForm(const Project& project, QWidget* parent = nullptr);

    FrameOptionsValues values() const;
    FrameOptionsMarks marks() const { return marks_; }

    QSpinBox* timeEdit() const { return time_; }
    QSpinBox* leftEdit() const { return left_; }
    QSpinBox* topEdit() const { return top_; }
    QSpinBox* widthEdit() const { return width_; }
    QSpinBox* heightEdit() const { return height_; }
    QCheckBox* scaleBox() const { return scale_; }
    QPushButton* centerButton() const { return center_; }
    QPushButton* fillButton() const { return fill_; }
    QPushButton* okButton() const { return ok_; }
    QWidget* rectangle() const;
    QWidget* previewPanel() const { return panel_; }
    int margin() const { return m_; }
    // What the rectangle shows.
    const QImage& previewImage() const { return preview_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class DelayRectangle;
    friend class DelayPanel;
    QSpinBox* numberField(int maximum, int step);
    // A control's mark in marks; the scale box's is stretch.
    bool& markOf(FrameOptionsMarks& marks, const QWidget* control) const;
    void setMark(QWidget* control, bool marked);
    // Setting fields without running their change handling (so unmarked).
    static void setQuietly(QSpinBox* field, int value);
    // The four position fields and the current rectangle.
    void setPositionQuietly(int left, int top, int width, int height);
    // The same as typed: the fields are marked and the preview drawn again.
    void setPosition(int left, int top, int width, int height);
    void timeChanged();
    void positionChanged();
    void sizeChanged();
    void centerClicked();
    void fillClicked();
    void scaleClicked();
    void enablePosition();
    void placeRectangle();
    void drawPreview(int width, int height, QPoint at);
    // A drag of the rectangle to panel position (x, y) of its top-left corner.
    void dragTo(int x, int y);
    void dragEnded();

    const Project& project_;
    const FrameRecord& anchor_;
    FramePicture anchorImage_;  // from the frame cache, held while the dialog is open
    int canvasWidth_ = 0;
    int canvasHeight_ = 0;
    int m_ = 2;
    int curLeft_ = 0, curTop_ = 0, curWidth_ = 0, curHeight_ = 0;
    FrameOptionsMarks marks_;
    QImage backdrop_;  // the frame before the anchor, at backdropAt_ on the canvas
    QPoint backdropAt_;
    QImage preview_;

    QSpinBox* time_ = nullptr;
    QSpinBox* left_ = nullptr;
    QSpinBox* top_ = nullptr;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
    QCheckBox* scale_ = nullptr;
    QPushButton* center_ = nullptr;
    QPushButton* fill_ = nullptr;
    QPushButton* ok_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QWidget* panel_ = nullptr;
    DelayRectangle* rect_ = nullptr;
};

}  // namespace pelko
