#pragma once
// SoundDialogs: the modal dialogs of "Add sound into AVI". The window asks
// through this interface so that tests can answer in their place; the form
// is made by the command and only run here.

#include <QString>

class QWidget;

namespace pelko {

class TFormAddSound;

class SoundDialogs {
public:
    virtual ~SoundDialogs() = default;
    // Runs the form; true when it closes with "OK".
    virtual bool addSound(TFormAddSound& form) = 0;
    // A message box with its own caption (the sound file's measure, a sound
    // that cannot be played).
    virtual void message(QWidget* parent, const QString& caption, const QString& text) = 0;
};

class WidgetSoundDialogs : public SoundDialogs {
public:
    bool addSound(TFormAddSound& form) override;
    void message(QWidget* parent, const QString& caption, const QString& text) override;
};

}  // namespace pelko
