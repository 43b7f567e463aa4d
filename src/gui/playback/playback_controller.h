#pragma once
// PlaybackController: the window's Play commands (the Run button and its
// drop-down, "Run as AVI file", "Run as animated GIF file", "Pause", "Stop")
// and "Add sound into AVI". It runs the engine's Playback on a TickTimer:
// every tick shows the next frame in the preview and arms the one event that
// follows, its delay from the FramePacer, so frames keep to a grid on the
// monotonic clock. While playing or paused it holds back what the window
// does not offer then (engine/playback/playback_enabling.h).
//
// A background sound that cannot be played is noted in the message log, the
// same note once in a run of the program; the frames go on silently.

#include <QHash>
#include <QObject>
#include <QPointer>
#include <memory>

#include "engine/playback/frame_pacer.h"
#include "engine/playback/playback.h"
#include "gui/playback/sound_dialogs.h"
#include "gui/playback/tick_timer.h"

class QAction;

namespace pelko {

class TAVIForm;

class PlaybackController : public QObject {
    Q_OBJECT
public:
    explicit PlaybackController(TAVIForm& window);
    ~PlaybackController() override;

    // ToolButRunClick: the control decides the mode.
    void run(RunSource source);
    void pause();
    void stop();
    // The window closes: no tick after this, and the sound stops.
    void halt();
    // "Add sound into AVI".
    void ActionInsertWavExecute();

    // What the window offers for the playback's phase; the window calls it
    // after its own enabling.
    void applyEnabling();

    const Playback& playback() const { return playback_; }
    TickTimer& timer() { return *timer_; }
    void setTimer(std::unique_ptr<TickTimer> timer);
    void setSoundPlayer(std::shared_ptr<SoundPlayer> player);
    void setDialogs(std::shared_ptr<SoundDialogs> dialogs) { dialogs_ = std::move(dialogs); }
    // The drop-down's "Run as AVI" and "Run as animated GIF".
    QAction* dropDownAvi() const { return dropDownAvi_; }
    QAction* dropDownGif() const { return dropDownGif_; }

private:
    void tick();
    void arm(int period);
    void showPicture();
    void prefetchNext();
    // The playback ran past its last frame.
    void finished();
    // Gives back what the playback held back; the window's enabling follows.
    void release();
    void soundProblem(const std::string& message);
    void keepRunItemsChecked();

    TAVIForm& w_;
    std::shared_ptr<SoundPlayer> sound_;
    Playback playback_;
    FramePacer pacer_;
    std::unique_ptr<TickTimer> timer_;
    std::shared_ptr<SoundDialogs> dialogs_ = std::make_shared<WidgetSoundDialogs>();
    QHash<QAction*, bool> heldBack_;  // disabled while playing or paused, and what they were
    QAction* runAvi_ = nullptr;
    QAction* runGif_ = nullptr;
    QAction* dropDownAvi_ = nullptr;
    QAction* dropDownGif_ = nullptr;
    QAction* pause_ = nullptr;
    QAction* stop_ = nullptr;
};

// The Play commands and "Add sound into AVI".
void installPlaybackCommands(TAVIForm& window);
PlaybackController* playbackOf(TAVIForm& window);

}  // namespace pelko
