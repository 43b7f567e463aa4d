#pragma once
// TFormText: "Adding of frames with text", the creeping line. It shows the
// text area over the canvas (with the anchor frame behind it on request),
// plays the frames in a loop and picks the settings; the window writes the
// GIF and puts its frames into the list after "Add".

#include <QDialog>
#include <QImage>
#include <array>

#include "engine/effects/creeping_line.h"
#include "engine/project/project.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;

namespace pelko {

class DialogProvider;
class TextCanvas;

class TFormText : public QDialog {
    Q_OBJECT
public:
    // stored: the settings the window keeps; anchorImage: the first selected
    // frame's image, shown behind the area at its place on request.
    TFormText(const ProjectSettings& project, const CreepingLineSettings& stored, const QImage& anchorImage,
              QPoint anchorPlace, TextDrawer& drawer, DialogProvider& dialogs, QWidget* parent = nullptr);

    // The settings as chosen, with the text that was set.
    CreepingLineSettings settings() const { return settings_; }

    QLineEdit* textEdit() const { return textEdit_; }
    QPushButton* setTextButton() const { return setText_; }
    QRadioButton* directionButton(CreepDirection d) const { return directions_[std::size_t(d)]; }
    QSpinBox* startLeftEdit() const { return startLeft_; }
    QSpinBox* startTopEdit() const { return startTop_; }
    QSpinBox* frameLeftEdit() const { return frameLeft_; }
    QSpinBox* frameTopEdit() const { return frameTop_; }
    QSpinBox* widthEdit() const { return width_; }
    QSpinBox* heightEdit() const { return height_; }
    QSpinBox* countEdit() const { return count_; }
    QSpinBox* durationEdit() const { return duration_; }
    QPushButton* fontButton() const { return font_; }
    QPushButton* colorButton() const { return color_; }
    QCheckBox* showBackgroundBox() const { return showBackground_; }
    QPushButton* defaultButton() const { return default_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* cancelButton() const { return cancel_; }
    TextCanvas* canvas() const { return canvas_; }
    QTimer* timer() const { return timer_; }
    int nextFrame() const { return next_; }

    // One tick of the preview timer (tests call it directly).
    void showNextFrame();

private:
    QSpinBox* numberField(int minimum, int maximum, int step = 1);
    // The fields from settings_, without running their change handling.
    void showSettings();
    // Any field changed: the settings read and checked, the preview anew.
    void fieldsChanged();
    void setTextClicked();
    void directionClicked(CreepDirection d);
    void fontClicked();
    void colorClicked();
    void defaultClicked();
    void areaMoved(QPoint place);
    void setBackgroundColour(Color c);
    // A new frame sequence from settings_: the plan, frame 0 next, the timer
    // started again.
    void restartPreview();
    void showCanvasBackground();

    const ProjectSettings project_;
    CreepingLineSettings settings_;
    CreepingLineSettings stored_;
    QImage anchorImage_;
    QPoint anchorPlace_;
    TextDrawer& drawer_;
    DialogProvider& dialogs_;
    CreepingLinePlan plan_;
    int next_ = 0;
    bool showing_ = false;  // showSettings is at work

    QLineEdit* textEdit_ = nullptr;
    QPushButton* setText_ = nullptr;
    std::array<QRadioButton*, 4> directions_{};
    QSpinBox* startLeft_ = nullptr;
    QSpinBox* startTop_ = nullptr;
    QSpinBox* frameLeft_ = nullptr;
    QSpinBox* frameTop_ = nullptr;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
    QSpinBox* count_ = nullptr;
    QSpinBox* duration_ = nullptr;
    QPushButton* font_ = nullptr;
    QPushButton* color_ = nullptr;
    QCheckBox* showBackground_ = nullptr;
    QPushButton* default_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* cancel_ = nullptr;
    TextCanvas* canvas_ = nullptr;
    QTimer* timer_ = nullptr;
    class SpinKeys* keys_ = nullptr;
};

}  // namespace pelko
