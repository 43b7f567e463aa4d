#pragma once
// SoundButton: the "Play" button of the sound dialogs. A click plays the
// file the dialog names to its end while the dialog waits: the button shows
// pressed, the dialog's other controls do not answer, the windows go on
// repainting (the sound plays on the player's thread while a local event
// loop runs), and a second click on the button stops the sound. Closing the
// dialog stops it too. A sound that cannot be played is handed to problem
// ("FILE: reason").
//
// Every sound of the program goes through desktopSoundPlayer(): PulseAudio,
// unless a test put another player in.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "engine/avi/sound_player.h"

class QAbstractButton;
class QDialog;

namespace pelko {

std::shared_ptr<SoundPlayer> desktopSoundPlayer();
void setDesktopSoundPlayer(std::shared_ptr<SoundPlayer> player);

class SoundButton : public QObject {
    Q_OBJECT
public:
    SoundButton(QAbstractButton* button, QDialog* dialog, std::function<QString()> path,
                std::function<void(const QString&)> problem);

    void setPlayer(std::shared_ptr<SoundPlayer> player) { player_ = std::move(player); }
    bool playing() const { return playing_; }

private:
    void clicked();
    void play();

    QAbstractButton* button_;
    QDialog* dialog_;
    std::function<QString()> path_;
    std::function<void(const QString&)> problem_;
    std::shared_ptr<SoundPlayer> player_;
    bool playing_ = false;
};

}  // namespace pelko
