#pragma once
// TAviOptionsForm: the AVI options dialog shown before an AVI is written:
// the frame duration, whether the codec window comes up, the background
// sound and "Show always". It only picks values; the Generate command stores
// them (engine/output/output_dialog_values.h) after "Save".

#include <QDialog>
#include <functional>
#include <string>

#include "engine/output/output_dialog_values.h"
#include "gui/playback/sound_chooser.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace pelko {

class NumberField;
class SoundButton;

class TAviOptionsForm : public QDialog {
    Q_OBJECT
public:
    using MeasureSound = SoundChooser::MeasureSound;
    using ShowMessage = SoundChooser::ShowMessage;

    // outputName: the output file's name, the dialog's caption.
    TAviOptionsForm(const QString& outputName, const AviOptionsValues& values, MeasureSound measure,
                    ShowMessage message, QWidget* parent = nullptr);

    AviOptionsValues values() const;

    // What "Load" does once its file dialog gave a file: the name goes into
    // the field and the file is measured.
    void loadSound(const QString& path) { sound_->loadSound(path); }

    NumberField* frameTimeField() const { return frameTime_; }
    QCheckBox* codecBox() const { return showCodec_; }
    QCheckBox* soundBox() const { return sound_->soundBox(); }
    QLineEdit* soundField() const { return sound_->soundField(); }
    QToolButton* loadButton() const { return sound_->loadButton(); }
    QToolButton* playButton() const { return sound_->playButton(); }
    // Plays the named file while the dialog waits (gui/playback/sound_button.h).
    SoundButton* player() const { return sound_->player(); }
    QLabel* durationPanel() const { return sound_->durationPanel(); }
    QCheckBox* showAlwaysBox() const { return showAlways_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }

protected:
private:
    NumberField* frameTime_ = nullptr;
    QCheckBox* showCodec_ = nullptr;
    SoundChooser* sound_ = nullptr;
    QCheckBox* showAlways_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace pelko
