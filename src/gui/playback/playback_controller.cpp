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
#include "gui/app/frame_strip.h"
#include "gui/app/main_window.h"
#include "gui/app/picture_image.h"
#include "gui/app/preview_canvas.h"
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

PlaybackController::PlaybackController(TAVIForm& window)
    : QObject(&window), w_(window), timer_(std::make_unique<PreciseTickTimer>())
{
    setSoundPlayer(desktopSoundPlayer());

    CommandRegistry& c = w_.commands();
    // The Play menu's items carry the project type's check mark, which a
    // click must not take away.
    runAvi_ = c.add({.id = "ActionRunAvi",
                     .caption = "Run as AVI file",
                     .keys = keys("Ctrl+R"),
                     .checkable = true,
                     .execute = [this](TAVIForm&, bool checked) {
                         runAvi_->setChecked(!checked);
                         run(RunSource::Avi);
                     }});
    runGif_ = c.add({.id = "ActionRunGif",
                     .caption = "Run as animated GIF file",
                     .keys = keys("Ctrl+M"),
                     .checkable = true,
                     .execute = [this](TAVIForm&, bool checked) {
                         runGif_->setChecked(!checked);
                         run(RunSource::Gif);
                     }});
    // the Run button, and its drop-down's own captions with the keys of the
    // Play menu's items shown beside them (the keys stay with those items)
    c.add({.id = "ActionRun", .caption = "Run", .execute = [this](TAVIForm&, bool) {
               run(RunSource::Button);
           }});
    dropDownAvi_ =
        c.add({.id = "ItemTestAVI", .caption = "Run as AVI\tCtrl+R", .execute = [this](TAVIForm&, bool) {
                   run(RunSource::Avi);
               }});
    dropDownGif_ = c.add({.id = "ItemTestGIF",
                          .caption = "Run as animated GIF\tCtrl+M",
                          .execute = [this](TAVIForm&, bool) { run(RunSource::Gif); }});
    pause_ = c.add({.id = "ActionPause",
                    .caption = "Pause",
                    .keys = keys("Ctrl+W"),
                    .icon = IconKind::Pause,
                    .execute = [this](TAVIForm&, bool) { pause(); }});
    stop_ = c.add({.id = "ActionStop",
                   .caption = "Stop",
                   .keys = keys("Ctrl+H"),
                   .icon = IconKind::Stop,
                   .execute = [this](TAVIForm&, bool) { stop(); }});
    c.add({.id = "ActionInsertWav",
           .caption = "Add sound into AVI",
           .hint = "Add sound into AVI file",
           .icon = IconKind::Sound,
           .enabled = enabled::project,
           .execute = [this](TAVIForm&, bool) { ActionInsertWavExecute(); }});
    connect(&w_, &TAVIForm::enablingApplied, this, &PlaybackController::applyEnabling);
    connect(&w_, &TAVIForm::closingDown, this, &PlaybackController::halt);
    connect(&w_, &TAVIForm::typeShown, this, [this] {
        const bool gif = w_.project().settings.isGif();
        if (QToolButton* button = w_.toolButton("ToolButRun"))
            button->setToolTip(gif ? "Run as GIF" : "Run as AVI");
        runAvi_->setChecked(!gif);
        runGif_->setChecked(gif);
    });
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
    w_.project().log.add(message);
    w_.showLog();
}

void PlaybackController::run(RunSource source)
{
    w_.rail().run([&] {
        if (playback_.playing() || w_.project().frames.count() == 0)
            return;
        const bool resume = playback_.paused();
        const PlaybackStep step = playback_.run(w_.project(), source);
        // the selection mark goes while the frames run
        w_.project().selection.clear();
        w_.frameCards()->update();
        if (!resume) {
            w_.previewArea()->horizontalScrollBar()->setValue(0);
            w_.previewArea()->verticalScrollBar()->setValue(0);
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
    const PlaybackStep step = playback_.tick(w_.project());
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
    w_.previewCanvas()->setPicture(toImage(playback_.picture()), {0, 0});
}

// The frame after the one shown is rendered on a worker, so the tick finds
// it in the cache.
void PlaybackController::prefetchNext()
{
    const int next = playback_.current() + 1;
    if (next >= w_.project().frames.count())
        return;
    const FrameRecord frame = w_.project().frames[std::size_t(next)];
    const ProjectSettings settings = w_.project().settings;
    const std::shared_ptr<FrameCache> cache = w_.project().cache;
    QThreadPool::globalInstance()->start(
        [frame, settings, cache, next] { cache->image(frame, settings, next + 1); });
}

void PlaybackController::finished()
{
    timer_->cancel();
    release();
    showPicture();  // the last picture stays in the preview
    w_.applyEnabling();
    w_.scrollStripTo(w_.frameCards()->contentHeight());
    w_.frameCards()->update();
}

void PlaybackController::pause()
{
    w_.rail().run([&] {
        if (!playback_.playing())
            return;
        playback_.pause(w_.project());
        timer_->cancel();
        // the frame shown carries the mark and is what Save frame saves
        const int current = playback_.current();
        w_.project().selection.selectOnly(current);
        w_.frameCards()->update();
        w_.scrollStripTo(kCardStep * current + kCardMargin);
        release();
    });
}

void PlaybackController::stop()
{
    w_.rail().run([&] {
        if (playback_.phase() == PlaybackPhase::Stopped)
            return;
        playback_.stop(w_.project());
        timer_->cancel();
        release();
        w_.project().selection.clear();
        if (w_.project().frames.count() > 0)
            w_.project().selection.selectOnly(0);
        w_.scrollStripTo(0);
        w_.mirrorProject(w_.project().selection.first());
    });
}

void PlaybackController::halt()
{
    timer_->cancel();
    playback_.stop(w_.project());
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
    const PlaybackEnabling e = playbackEnabling(phase, w_.project().frames.count() > 0);
    const bool stopped = phase == PlaybackPhase::Stopped;

    const std::pair<QToolBar*, bool> bars[] = {
        {w_.toolBar(0), e.projectBar}, {w_.toolBar(1), e.generateBar}, {w_.toolBar(3), e.editBar},
        {w_.toolBar(4), e.effectsBar}, {w_.toolBar(5), e.frameBar},
    };
    const std::pair<QMenu*, bool> menus[] = {
        {w_.menu("fileMenu"), e.fileMenu},
        {w_.menu("editMenu"), e.editMenu},
        {w_.menu("effectsMenu"), e.effectsMenu},
        {w_.menu("helpMenu"), e.helpMenu},
    };
    for (const auto& [bar, on] : bars) bar->setEnabled(on);
    for (const auto& [menu, on] : menus) menu->menuAction()->setEnabled(on);
    w_.frameStrip()->setEnabled(stopped && w_.firstProjectSetUp());
    w_.previewCanvas()->setEnabled(stopped);
    w_.setAcceptDrops(stopped && w_.firstProjectSetUp());

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

    for (QAction* a : {w_.action("ActionRun"), runAvi_, runGif_, dropDownAvi_, dropDownGif_})
        a->setEnabled(e.run);
    pause_->setEnabled(e.pause);
    stop_->setEnabled(e.stop);
}

void installPlaybackCommands(TAVIForm& window)
{
    new PlaybackController(window);
}

PlaybackController* playbackOf(TAVIForm& window)
{
    return window.feature<PlaybackController>();
}

}  // namespace pelko
