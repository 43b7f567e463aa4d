#pragma once
// TFormAddSound: "Adding of sound into AVI file", the dialog of "Add sound
// into AVI". It picks the background sound (the "Background sound" box, the
// WAV file, its measured duration) and only picks values: the command stores
// them (engine/output/add_sound_values.h) after "OK".

#include <QDialog>
#include <functional>
#include <string>

#include "engine/avi/wav.h"
#include "engine/output/add_sound_values.h"

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
    // Measures a WAV file's playing time (WavDurationMs).
    using MeasureSound = std::function<WavDuration(const std::string& path)>;
    // Shows a message box with its caption.
    using ShowMessage = std::function<void(const QString& caption, const QString& text)>;

    TFormAddSound(const AddSoundValues& values, MeasureSound measure, ShowMessage message,
                  QWidget* parent = nullptr);

    AddSoundValues values() const;

    // What "Load" does once its file dialog gave a file: the name goes into
    // the field, the file is measured and "Play" is enabled.
    void loadSound(const QString& path);

    QCheckBox* soundBox() const { return sound_; }
    QLineEdit* soundField() const { return wavFile_; }
    QToolButton* loadButton() const { return load_; }
    QToolButton* playButton() const { return play_; }
    SoundButton* player() const { return player_; }
    QLabel* durationPanel() const { return duration_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    void loadClicked();
    void showDuration();

    MeasureSound measure_;
    ShowMessage message_;
    std::int32_t soundDuration_ = 0;
    QCheckBox* sound_ = nullptr;
    QLineEdit* wavFile_ = nullptr;
    QToolButton* load_ = nullptr;
    QToolButton* play_ = nullptr;
    SoundButton* player_ = nullptr;
    QLabel* duration_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace pelko
