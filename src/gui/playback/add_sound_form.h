#pragma once
// TFormAddSound: "Adding of sound into AVI file", the dialog of "Add sound
// into AVI". It picks the background sound (the "Background sound" box, the
// WAV file, its measured duration) and only picks values: the command stores
// them (engine/output/add_sound_values.h) after "OK".

#include <QDialog>
#include <functional>
#include <string>

#include "engine/output/add_sound_values.h"
#include "gui/playback/sound_chooser.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace pelko {

class SoundButton;

class TFormAddSound : public QDialog {
    Q_OBJECT
public:
    using MeasureSound = SoundChooser::MeasureSound;
    using ShowMessage = SoundChooser::ShowMessage;

    TFormAddSound(const AddSoundValues& values, MeasureSound measure, ShowMessage message,
                  QWidget* parent = nullptr);

    AddSoundValues values() const;

    // What "Load" does once its file dialog gave a file: the name goes into
    // the field, the file is measured and "Play" is enabled.
    void loadSound(const QString& path) { sound_->loadSound(path); }

    QCheckBox* soundBox() const { return sound_->soundBox(); }
    QLineEdit* soundField() const { return sound_->soundField(); }
    QToolButton* loadButton() const { return sound_->loadButton(); }
    QToolButton* playButton() const { return sound_->playButton(); }
    SoundButton* player() const { return sound_->player(); }
    QLabel* durationPanel() const { return sound_->durationPanel(); }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    SoundChooser* sound_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace pelko
