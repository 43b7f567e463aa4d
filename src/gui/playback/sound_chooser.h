#pragma once
// SoundChooser: the background sound's group in the sound dialogs (the AVI
// options and "Add sound into AVI"): the on/off box, the WAV file's name,
// "Load", "Play" (enabled once the named file exists) and the measured
// playing time.

#include <QGroupBox>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/avi/wav.h"

class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QToolButton;

namespace pelko {

class SoundButton;

class SoundChooser : public QGroupBox {
    Q_OBJECT
public:
    // Measures a WAV file's playing time (WavDurationMs).
    using MeasureSound = std::function<WavDuration(const std::string& path)>;
    // Shows a message box with its caption.
    using ShowMessage = std::function<void(const QString& caption, const QString& text)>;

    struct Looks {
        QString title;    // the group's caption (may be empty)
        QString boxText;  // the on/off box's text
        int fieldWidth;   // the file name field's least width
    };

    // dialog: the dialog the group sits in; "Play" holds its other controls
    // while the sound plays.
    SoundChooser(const Looks& looks, bool sound, const std::string& wavFile, std::int32_t duration,
                 MeasureSound measure, ShowMessage message, QDialog* dialog);

    bool sound() const;
    std::string wavFile() const;
    std::int32_t duration() const { return duration_; }

    // What "Load" does once its file dialog gave a file: the name goes into
    // the field, the file is measured and "Play" is enabled.
    void loadSound(const QString& path);

    QCheckBox* soundBox() const { return soundBox_; }
    QLineEdit* soundField() const { return wavFile_; }
    QToolButton* loadButton() const { return load_; }
    QToolButton* playButton() const { return play_; }
    SoundButton* player() const { return player_; }
    QLabel* durationPanel() const { return durationPanel_; }

private:
    void loadClicked();
    void showDuration();

    MeasureSound measure_;
    ShowMessage message_;
    std::int32_t duration_ = 0;
    QCheckBox* soundBox_ = nullptr;
    QLineEdit* wavFile_ = nullptr;
    QToolButton* load_ = nullptr;
    QToolButton* play_ = nullptr;
    SoundButton* player_ = nullptr;
    QLabel* durationPanel_ = nullptr;
};

}  // namespace pelko
