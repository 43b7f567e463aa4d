#pragma once
// TAviOptionsForm: the AVI options dialog shown before an AVI is written:
// the frame duration, whether the codec window comes up, the background
// sound and "Show always". It only picks values; the Generate command stores
// them (engine/output/output_dialog_values.h) after "Save".

#include <QDialog>
#include <functional>
#include <string>

#include "engine/avi/wav.h"
#include "engine/output/output_dialog_values.h"

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
    // Measures a WAV file's playing time (WavDurationMs).
    using MeasureSound = std::function<WavDuration(const std::string& path)>;
    // Shows a message box with its caption.
    using ShowMessage = std::function<void(const QString& caption, const QString& text)>;

    // outputName: the output file's name, the dialog's caption.
    TAviOptionsForm(const QString& outputName, const AviOptionsValues& values, MeasureSound measure,
                    ShowMessage message, QWidget* parent = nullptr);

    AviOptionsValues values() const;

    // What "Load" does once its file dialog gave a file: the name goes into
    // the field and the file is measured.
    void loadSound(const QString& path);

    NumberField* frameTimeField() const { return frameTime_; }
    QCheckBox* codecBox() const { return showCodec_; }
    QCheckBox* soundBox() const { return sound_; }
    QLineEdit* soundField() const { return wavFile_; }
    QToolButton* loadButton() const { return load_; }
    QToolButton* playButton() const { return play_; }
    // Plays the named file while the dialog waits (gui/playback/sound_button.h).
    SoundButton* player() const { return player_; }
    QLabel* durationPanel() const { return duration_; }
    QCheckBox* showAlwaysBox() const { return showAlways_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadClicked();
    void showDuration();

    MeasureSound measure_;
    ShowMessage message_;
    std::int32_t soundDuration_ = 0;
    NumberField* frameTime_ = nullptr;
    QCheckBox* showCodec_ = nullptr;
    QCheckBox* sound_ = nullptr;
    QLineEdit* wavFile_ = nullptr;
    QToolButton* load_ = nullptr;
    QToolButton* play_ = nullptr;
    SoundButton* player_ = nullptr;
    QLabel* duration_ = nullptr;
    QCheckBox* showAlways_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace pelko
