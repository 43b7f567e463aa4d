#include "gui/playback/playback_controller.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QThreadPool>
#include <QToolBar>
#include <QToolButton>
#include <set>

#include "engine/playback/playback_enabling.h"
#include "engine/project/frame_cache.h"
#include "gui/app/main_window.h"
#include "gui/app/picture_image.h"
#include "gui/frames/frame_strip.h"
#include "gui/frames/preview_canvas.h"
#include "gui/playback/sound_button.h"

namespace pelko {

namespace {

// Sound notes already in the log in this run of the program.
std::set<std::string>& notedSoundProblems()
{
    static std::set<std::string> noted;
    return noted;
}

void collectActions(const QList<QAction*>& actions, QList<QAction*>& out)
{
    for (QAction* a : actions) {
        if (a->isSeparator())
            continue;
        if (a->menu())
            collectActions(a->menu()->actions(), out);
        out << a;
    }
}

}  // namespace

void TAVIForm::connectPlaybackCommands()
{
    playback_ = new PlaybackController(*this);
}

PlaybackController::PlaybackController(TAVIForm& window)
    : QObject(&window), w_(window), timer_(std::make_unique<PreciseTickTimer>())
{
    setSoundPlayer(desktopSoundPlayer());

    // the Run button's drop-down: its own captions, with the keys of the
    // Play menu's items shown beside them (the keys stay with those items)
    w_.runMenu_->clear();
    dropDownAvi_ = w_.runMenu_->addAction("Run as AVI\tCtrl+R");
    dropDownGif_ = w_.runMenu_->addAction("Run as animated GIF\tCtrl+M");
    dropDownAvi_->setObjectName("ItemTestAVI");
    dropDownGif_->setObjectName("ItemTestGIF");

    connect(w_.runButton_, &QToolButton::clicked, this, [this] { run(RunSource::Button); });
    connect(dropDownAvi_, &QAction::triggered, this, [this] { run(RunSource::Avi); });
    connect(dropDownGif_, &QAction::triggered, this, [this] { run(RunSource::Gif); });
    // The Play menu's items carry the project type's check mark, which a
    // click must not take away.
    connect(w_.ActionRunAvi, &QAction::triggered, this, [this](bool checked) {
        w_.ActionRunAvi->setChecked(!checked);
        run(RunSource::Avi);
    });
    connect(w_.ActionRunGif, &QAction::triggered, this, [this](bool checked) {
        w_.ActionRunGif->setChecked(!checked);
        run(RunSource::Gif);
    });
    connect(w_.ActionPause, &QAction::triggered, this, &PlaybackController::pause);
    connect(w_.ActionStop, &QAction::triggered, this, &PlaybackController::stop);
    connect(w_.ActionInsertWav, &QAction::triggered, this, &PlaybackController::ActionInsertWavExecute);
}

PlaybackController::~PlaybackController()
{
    timer_->cancel();
}

void PlaybackController::setTimer(std::unique_ptr<TickTimer> timer)
{
    timer_->cancel();
    timer_ = std::move(timer);
}

// (while stopped: the playback starts afresh)
void PlaybackController::setSoundPlayer(std::shared_ptr<SoundPlayer> player)
{
    sound_ = std::move(player);
    QPointer<PlaybackController> self(this);
    playback_ = Playback(sound_.get(), [self](const SoundResult& r) {
        // from the player's thread to the user-interface thread (none once
        // the program is ending)
        QCoreApplication* app = QCoreApplication::instance();
        if (r.ok || !app)
            return;
        QMetaObject::invokeMethod(
            app,
            [self, message = r.message] {
                if (self)
                    self->soundProblem(message);
            },
            Qt::QueuedConnection);
    });
}

void PlaybackController::soundProblem(const std::string& message)
{
    if (!notedSoundProblems().insert(message).second)
        return;
    w_.project_.log.add(message);
    w_.showLog();
}

void PlaybackController::run(RunSource source)
{
    w_.rail_.run([&] {
        if (playback_.playing() || w_.project_.frames.count() == 0)
            return;
        const bool resume = playback_.paused();
        const PlaybackStep step = playback_.run(w_.project_, source);
        // the selection mark goes while the frames run
        w_.project_.selection.clear();
        w_.cards_->update();
        if (!resume) {
            w_.previewArea_->horizontalScrollBar()->setValue(0);
            w_.previewArea_->verticalScrollBar()->setValue(0);
        }
        release();
        if (step.ended) {
            finished();
            return;
        }
        showPicture();
        pacer_.restart(timer_->now());
        arm(step.period);
    });
}

void PlaybackController::tick()
{
    const PlaybackStep step = playback_.tick(w_.project_);
    if (step.ended) {
        finished();
        return;
    }
    if (!step.shown)
        return;
    showPicture();
    arm(step.period);
}

void PlaybackController::arm(int period)
{
    timer_->arm(pacer_.next(timer_->now(), period), [this] { tick(); });
    prefetchNext();
}

void PlaybackController::showPicture()
{
    w_.canvas_->setPicture(toImage(playback_.picture()), {0, 0});
}

// The frame after the one shown is rendered on a worker, so the tick finds
// it in the cache.
void PlaybackController::prefetchNext()
{
    const int next = playback_.current() + 1;
    if (next >= w_.project_.frames.count())
        return;
    const FrameRecord frame = w_.project_.frames[std::size_t(next)];
    const ProjectSettings settings = w_.project_.settings;
    const std::shared_ptr<FrameCache> cache = w_.project_.cache;
    QThreadPool::globalInstance()->start(
        [frame, settings, cache, next] { cache->image(frame, settings, next + 1); });
}

void PlaybackController::finished()
{
    timer_->cancel();
    release();
    showPicture();  // the last picture stays in the preview
    w_.applyEnabling();
    w_.scrollStripTo(w_.cards_->contentHeight());
    w_.cards_->update();
}

void PlaybackController::pause()
{
    w_.rail_.run([&] {
        if (!playback_.playing())
            return;
        playback_.pause(w_.project_);
        timer_->cancel();
        // the frame shown carries the mark and is what Save frame saves
        const int current = playback_.current();
        w_.project_.selection.selectOnly(current);
        w_.cards_->update();
        w_.scrollStripTo(kCardStep * current + kCardMargin);
        release();
    });
}

void PlaybackController::stop()
{
    w_.rail_.run([&] {
        if (playback_.phase() == PlaybackPhase::Stopped)
            return;
        playback_.stop(w_.project_);
        timer_->cancel();
        release();
        w_.project_.selection.clear();
        if (w_.project_.frames.count() > 0)
            w_.project_.selection.selectOnly(0);
        w_.scrollStripTo(0);
        w_.mirrorProject(w_.project_.selection.first());
    });
}

void PlaybackController::halt()
{
    timer_->cancel();
    playback_.stop(w_.project_);
    if (sound_)
        sound_->stop();  // also a sound that outlived its frames
    release();
    w_.applyEnabling();
}

void PlaybackController::release()
{
    for (auto it = heldBack_.begin(); it != heldBack_.end(); ++it) it.key()->setEnabled(it.value());
    heldBack_.clear();
}

void PlaybackController::applyEnabling()
{
    const PlaybackPhase phase = playback_.phase();
    const PlaybackEnabling e = playbackEnabling(phase, w_.project_.frames.count() > 0);
    const bool stopped = phase == PlaybackPhase::Stopped;

    const std::pair<QToolBar*, bool> bars[] = {
        {w_.toolBars_[0], e.projectBar}, {w_.toolBars_[1], e.generateBar}, {w_.toolBars_[3], e.editBar},
        {w_.toolBars_[4], e.effectsBar}, {w_.toolBars_[5], e.frameBar},
    };
    const std::pair<QMenu*, bool> menus[] = {
        {w_.fileMenu_, e.fileMenu},
        {w_.editMenu_, e.editMenu},
        {w_.effectsMenu_, e.effectsMenu},
        {w_.helpMenu_, e.helpMenu},
    };
    for (const auto& [bar, on] : bars) bar->setEnabled(on);
    for (const auto& [menu, on] : menus) menu->menuAction()->setEnabled(on);
    w_.frameStrip_->setEnabled(stopped && w_.firstProjectSetUp_);
    w_.canvas_->setEnabled(stopped);
    w_.setAcceptDrops(stopped && w_.firstProjectSetUp_);

    if (!stopped) {
        // the commands of the bars and menus that are off are held back
        // (their keys too), unless an offered bar or menu has them
        QList<QAction*> offered, off;
        for (const auto& [bar, on] : bars) collectActions(bar->actions(), on ? offered : off);
        for (const auto& [menu, on] : menus) collectActions(menu->actions(), on ? offered : off);
        for (QAction* a : off) {
            if (offered.contains(a))
                continue;
            if (!heldBack_.contains(a))
                heldBack_.insert(a, a->isEnabled());
            a->setEnabled(false);
        }
    }

    w_.runButton_->setEnabled(e.run);
    for (QAction* a : {w_.ActionRunAvi, w_.ActionRunGif, dropDownAvi_, dropDownGif_}) a->setEnabled(e.run);
    w_.ActionPause->setEnabled(e.pause);
    w_.ActionStop->setEnabled(e.stop);
}

}  // namespace pelko
