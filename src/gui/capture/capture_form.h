#pragma once
// TFormCapture: "Settings for capture". The whole screen reduced on the
// preview with the capture area as a red rectangle to drag, the area in
// screen pixels in four spin edits, the mode (manual, "Auto" with its period
// and number of frames, or "Record" with its frames a second), "With cursor",
// and the file the capture makes in the work folder, with "Add to project
// when done" for a GIF. It only picks values: settings() is what "OK" stores.

#include <QDialog>

#include "engine/capture/capture_settings.h"
#include "engine/image/picture.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace pelko {

class CapturePreview;

class TFormCapture : public QDialog {
    Q_OBJECT
public:
    // desktop: the whole screen in its device pixels; it is reduced onto the
    // preview, and sx, sy are its size over the preview's.
    TFormCapture(const CaptureSettings& stored, const Picture& desktop, QWidget* parent = nullptr);

    // The settings "OK" stores: the area back in preview pixels, and the
    // period and number of frames only in automatic mode (otherwise the
    // stored ones).
    CaptureSettings settings() const;
    CaptureScale scale() const { return scale_; }

    CapturePreview* preview() const { return preview_; }
    QSpinBox* leftEdit() const { return left_; }
    QSpinBox* topEdit() const { return top_; }
    QSpinBox* widthEdit() const { return width_; }
    QSpinBox* heightEdit() const { return height_; }
    QCheckBox* autoBox() const { return auto_; }
    QSpinBox* periodEdit() const { return period_; }
    QSpinBox* maxFramesEdit() const { return maxFrames_; }
    QCheckBox* cursorBox() const { return cursor_; }
    QCheckBox* recordBox() const { return record_; }
    QSpinBox* fpsEdit() const { return fps_; }
    QCheckBox* addToProjectBox() const { return addToProject_; }
    QLineEdit* nameEdit() const { return name_; }
    QSpinBox* durationEdit() const { return duration_; }
    QRadioButton* aviButton() const { return avi_; }
    QRadioButton* gifButton() const { return gif_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    void areaEdited();
    void enableModes();
    void areaDragged(QPoint topLeft);

    CaptureSettings stored_;
    CaptureScale scale_;
    CapturePreview* preview_ = nullptr;
    QSpinBox* left_ = nullptr;
    QSpinBox* top_ = nullptr;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
    QCheckBox* auto_ = nullptr;
    QSpinBox* period_ = nullptr;
    QSpinBox* maxFrames_ = nullptr;
    QCheckBox* cursor_ = nullptr;
    QCheckBox* record_ = nullptr;
    QSpinBox* fps_ = nullptr;
    QCheckBox* addToProject_ = nullptr;
    QLineEdit* name_ = nullptr;
    QSpinBox* duration_ = nullptr;
    QRadioButton* avi_ = nullptr;
    QRadioButton* gif_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace pelko
