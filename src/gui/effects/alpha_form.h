#pragma once
// TFormAlpha: "Adding frames with alpha blending". It previews the fade
// between the anchor frame and the frame before it (or the background
// colour) as a small animation and picks the settings; the window writes the
// GIF and inserts its frames after "Add".

#include <QDialog>
#include <QImage>

#include "engine/effects/alpha_blend.h"
#include "engine/project/project.h"

class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;

namespace pelko {

class DialogProvider;

class TFormAlpha : public QDialog {
    Q_OBJECT
public:
    // project holds the anchor at sources.anchor; dialogs asks for colours.
    TFormAlpha(const Project& project, BlendSources sources, const AlphaBlendSettings& settings,
               DialogProvider& dialogs, QWidget* parent = nullptr);

    // The settings as chosen (read after "Add").
    AlphaBlendSettings settings() const;

    QSpinBox* numberEdit() const { return number_; }
    QSpinBox* timeEdit() const { return time_; }
    QRadioButton* showUpButton() const { return showUp_; }
    QRadioButton* hideUpButton() const { return hideUp_; }
    QPushButton* setColorButton() const { return setColor_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* cancelButton() const { return cancel_; }
    QTimer* timer() const { return timer_; }
    // The picture the preview shows (null until the first tick) and the
    // number of the next one.
    const QImage& shownPicture() const { return shown_; }
    int nextPicture() const { return next_; }
    QWidget* canvas() const { return canvas_; }

    // One tick of the preview timer (tests call it directly).
    void showNextPicture();

private:
    friend class AlphaCanvas;
    void restartPreview();  // a new sequence: from picture 0 again
    void timeChanged();
    void setColorClicked();

    BlendSources sources_;
    AlphaBlendSettings settings_;
    DialogProvider& dialogs_;
    Point anchorAt_, partnerAt_;
    QImage partner_;  // the partner's frame image, drawn behind the fade
    QImage shown_;
    int next_ = 0;

    QWidget* canvas_ = nullptr;
    QSpinBox* number_ = nullptr;
    QSpinBox* time_ = nullptr;
    QRadioButton* showUp_ = nullptr;
    QRadioButton* hideUp_ = nullptr;
    QPushButton* setColor_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QTimer* timer_ = nullptr;
};

}  // namespace pelko
