#include "gui/playback/sound_button.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QPointer>
#include <mutex>

#include "platform/pulse_sound_player.h"

namespace pelko {

namespace {

std::shared_ptr<SoundPlayer>& playerSlot()
{
    static std::shared_ptr<SoundPlayer> player;
    return player;
}

}  // namespace

std::shared_ptr<SoundPlayer> desktopSoundPlayer()
{
    auto& player = playerSlot();
    if (!player)
        player = std::make_shared<PulseSoundPlayer>();
    return player;
}

void setDesktopSoundPlayer(std::shared_ptr<SoundPlayer> player)
{
    playerSlot() = std::move(player);
}

SoundButton::SoundButton(QAbstractButton* button, QDialog* dialog, std::function<QString()> path,
                         std::function<void(const QString&)> problem)
    : QObject(button), button_(button), dialog_(dialog), path_(std::move(path)), problem_(std::move(problem))
{
    connect(button_, &QAbstractButton::clicked, this, &SoundButton::clicked);
    connect(dialog_, &QDialog::finished, this, [this] {
        if (playing_)
            player_->stop();
    });
}

void SoundButton::clicked()
{
    if (playing_)
        player_->stop();
    else
        play();
}

void SoundButton::play()
{
    if (!player_)
        player_ = desktopSoundPlayer();
    const std::string path = path_().toStdString();

    // The rest of the dialog holds still while the sound plays.
    QList<QPointer<QWidget>> held;
    for (QWidget* w : dialog_->findChildren<QWidget*>())
        if (w != button_ && w->isEnabled() && !w->isAncestorOf(button_)) {
            held << w;
            w->setEnabled(false);
        }
    button_->setCheckable(true);
    button_->setChecked(true);
    playing_ = true;

    struct Ending {
        std::mutex mutex;
        SoundResult result;
    };
    auto ending = std::make_shared<Ending>();
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    player_->playAsync(path, [ending, waiting](const SoundResult& r) {
        {
            std::lock_guard lock(ending->mutex);
            ending->result = r;
        }
        // back on the user-interface thread, where the loop lives
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return;
        QMetaObject::invokeMethod(
            app,
            [waiting] {
                if (waiting)
                    waiting->quit();
            },
            Qt::QueuedConnection);
    });
    loop.exec();

    playing_ = false;
    button_->setChecked(false);
    button_->setCheckable(false);
    for (const auto& w : held)
        if (w)
            w->setEnabled(true);
    SoundResult result;
    {
        std::lock_guard lock(ending->mutex);
        result = ending->result;
    }
    if (!result.ok && problem_)
        problem_(QString::fromStdString(result.message));
}

}  // namespace pelko
