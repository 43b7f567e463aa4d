// The playback preview and "Add sound into AVI" through the real window, with
// a timer the test fires by hand and a sound player that only writes down
// what it was asked.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "../support/recording_sound_player.h"
#include "gui/app/preview_canvas.h"
#include "gui/output/avi_options_form.h"
#include "gui/playback/add_sound_form.h"
#include "gui/playback/playback_controller.h"
#include "gui/playback/sound_button.h"
#include "gui_fixtures.h"

using namespace pelko;
using namespace pelko::test;

namespace {

// Fires only when the test says so; the clock moves by the delay asked.
struct FakeTickTimer : TickTimer {
    Clock::time_point clock{};
    std::vector<int> delays;  // every delay armed, in ms
    std::function<void()> armed;
    std::chrono::milliseconds delay{};

    void arm(std::chrono::milliseconds d, std::function<void()> tick) override
    {
        delays.push_back(int(d.count()));
        delay = d;
        armed = std::move(tick);
    }
    void cancel() override { armed = nullptr; }
    bool pending() const override { return bool(armed); }
    Clock::time_point now() const override { return clock; }
    void fire()
    {
        QVERIFY(armed);
        clock += delay;
        auto tick = std::move(armed);
        armed = nullptr;
        tick();
    }
};

struct FakeSoundDialogs : SoundDialogs {
    std::function<bool(TFormAddSound&)> script;  // unset: cancelled
    QStringList messages;
    bool addSound(TFormAddSound& form) override { return script && script(form); }
    void message(QWidget*, const QString& caption, const QString& text) override
    {
        messages << caption + ": " + text;
    }
};

}  // namespace

class PlaybackTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<TAVIForm> form_;
    FakeTickTimer* timer_ = nullptr;
    std::shared_ptr<RecordingSoundPlayer> sound_;
    std::shared_ptr<FakeSoundDialogs> soundDialogs_;

    // A window with a new project of the colours given, one 100 x 100
    // picture each, and the fakes in place.
    TAVIForm& window(const ProjectOptions& options, const std::vector<Color>& colours)
    {
        dialogs_ = std::make_shared<FakeDialogs>();
        form_ = newProjectWindow(dir_.filePath("settings.ini"), dialogs_, options);
        QStringList pictures;
        for (std::size_t i = 0; i < colours.size(); ++i)
            pictures << writePng(dir_.filePath(QString("frame%1.png").arg(i)), 100, 100, colours[i]);
        if (!pictures.isEmpty())
            form_->addPictures(pictures);
        auto timer = std::make_unique<FakeTickTimer>();
        timer_ = timer.get();
        PlaybackController& playback = *playbackOf(*form_);
        playback.setTimer(std::move(timer));
        sound_ = std::make_shared<RecordingSoundPlayer>();
        playback.setSoundPlayer(sound_);
        soundDialogs_ = std::make_shared<FakeSoundDialogs>();
        playback.setDialogs(soundDialogs_);
        return *form_;
    }

    static ProjectOptions gifProject()
    {
        ProjectOptions o;
        o.Type = ProjectGif;
        o.GifFrameTime = 500;
        return o;
    }
    static ProjectOptions aviProject(int frameTime = 400)
    {
        ProjectOptions o;
        o.Type = ProjectAvi;
        o.AviFrameTime = frameTime;
        return o;
    }

    PlaybackPhase phase() const { return playbackOf(*form_)->playback().phase(); }
    Color shownPixel() const
    {
        const QImage& image = form_->previewCanvas()->picture();
        const QRgb p = image.pixel(50, 50);
        return rgb(std::uint8_t(qRed(p)), std::uint8_t(qGreen(p)), std::uint8_t(qBlue(p)));
    }

private slots:
    void cleanup()
    {
        form_.reset();
        timer_ = nullptr;
    }

    void theCommandsAreOfferedWithTheirDropDown()
    {
        TAVIForm& form = window(gifProject(), {});
        for (const char* name :
             {"ActionRunAvi", "ActionRunGif", "ActionPause", "ActionStop", "ActionInsertWav"})
            QVERIFY2(act(form, name)->isVisible(), name);
        QCOMPARE(form.toolButton("ToolButRun")->toolTip(), QString("Run as GIF"));
        QCOMPARE(playbackOf(form)->dropDownAvi()->text(), QString("Run as AVI\tCtrl+R"));
        QCOMPARE(playbackOf(form)->dropDownGif()->text(), QString("Run as animated GIF\tCtrl+M"));
        QVERIFY(act(form, "ActionInsertWav")->isEnabled());
        // nothing to run in an empty list
        QVERIFY(!form.toolButton("ToolButRun")->isEnabled());
        act(form, "ActionRunGif")->trigger();
        QCOMPARE(phase(), PlaybackPhase::Stopped);
    }

    void theKeysRunPauseAndStop()
    {
        TAVIForm& form = window(gifProject(), {0x0000FF, 0x00FF00, 0xFF0000});
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keySequence(&form, QKeySequence("Ctrl+M"));
        QCOMPARE(phase(), PlaybackPhase::Playing);
        QTest::keySequence(&form, QKeySequence("Ctrl+W"));
        QCOMPARE(phase(), PlaybackPhase::Paused);
        QTest::keySequence(&form, QKeySequence("Ctrl+H"));
        QCOMPARE(phase(), PlaybackPhase::Stopped);
        QTest::keySequence(&form, QKeySequence("Ctrl+R"));
        QCOMPARE(phase(), PlaybackPhase::Playing);
        QCOMPARE(playbackOf(form)->playback().mode(), PlaybackMode::Avi);
    }

    void theStatusPanelsSummariseTheAnimation()
    {
        window(gifProject(), {0xFF0000, 0x00FF00, 0x0000FF});
        QCOMPARE(form_->statusText(3), QString("Playback: 1.5 sec"));
        QCOMPARE(form_->statusText(4), QString("Frame's number: 3"));
        window(aviProject(400), {0xFF0000, 0x00FF00});
        QCOMPARE(form_->statusText(3), QString("Playback: 800 msec"));
        QCOMPARE(form_->statusText(4), QString("Frame's number: 2"));
    }

    void gifModeShowsEachFrameForItsOwnTimeThenEnds()
    {
        TAVIForm& form = window(gifProject(), {0x0000FF, 0x00FF00, 0xFF0000});
        const std::uint16_t times[] = {100, 500, 100};
        for (int i = 0; i < 3; ++i) form.project().frames[std::size_t(i)].Time = times[i];
        act(form, "ActionRunGif")->trigger();
        QVERIFY(act(form, "ActionRunGif")->isChecked());  // the type's mark stays
        QCOMPARE(phase(), PlaybackPhase::Playing);
        QCOMPARE(shownPixel(), Color(0x0000FF));

        // while playing only Pause and Stop
        QVERIFY(act(form, "ActionPause")->isEnabled());
        QVERIFY(act(form, "ActionStop")->isEnabled());
        QVERIFY(!form.toolButton("ToolButRun")->isEnabled());
        QVERIFY(!act(form, "ActionRunAvi")->isEnabled());
        for (const char* name : {"ActionNew", "ActionAdd", "ActionGenerate", "ActionHelp", "ActionInsertWav"})
            QVERIFY2(!act(form, name)->isEnabled(), name);
        for (int bar : {0, 1, 3, 4, 5}) QVERIFY(!form.toolBar(bar)->isEnabled());
        QVERIFY(!form.menu("fileMenu")->menuAction()->isEnabled());
        QVERIFY(!form.frameStrip()->isEnabled());
        QVERIFY(form.project().selection.empty());

        timer_->fire();
        QCOMPARE(shownPixel(), Color(0x00FF00));
        timer_->fire();
        QCOMPARE(shownPixel(), Color(0xFF0000));
        timer_->fire();
        QCOMPARE(timer_->delays, (std::vector<int>{100, 500, 100}));
        QCOMPARE(phase(), PlaybackPhase::Stopped);
        QVERIFY(!timer_->pending());
        // the last picture stays; everything is offered again
        QCOMPARE(shownPixel(), Color(0xFF0000));
        QVERIFY(form.toolButton("ToolButRun")->isEnabled());
        QVERIFY(!act(form, "ActionPause")->isEnabled());
        QVERIFY(!act(form, "ActionStop")->isEnabled());
        for (const char* name : {"ActionNew", "ActionAdd", "ActionGenerate", "ActionHelp"})
            QVERIFY2(act(form, name)->isEnabled(), name);
        QVERIFY(form.menu("fileMenu")->menuAction()->isEnabled());
        QVERIFY(form.frameStrip()->isEnabled());
    }

    void aviModeTimesEveryFrameByTheAviTimeOnTheMonotonicGrid()
    {
        TAVIForm& form = window(aviProject(40), {0x0000FF, 0x00FF00, 0xFF0000});
        form.toolButton("ToolButRun")->click();  // the Run button: the project's type
        // the timer comes 3 ms late each time: the next wait is that much shorter
        timer_->clock += std::chrono::milliseconds(3);
        timer_->fire();
        timer_->clock += std::chrono::milliseconds(3);
        timer_->fire();
        QCOMPARE(timer_->delays, (std::vector<int>{40, 37, 37}));
        QVERIFY(sound_->calls.empty());
    }

    void stopAfterPauseShowsFrameOneSelectedWithUpDisabled()
    {
        TAVIForm& form = window(aviProject(), {0x0000FF, 0x00FF00, 0xFF0000});
        act(form, "ActionRunAvi")->trigger();
        timer_->fire();
        act(form, "ActionPause")->trigger();
        QCOMPARE(phase(), PlaybackPhase::Paused);
        QVERIFY(!timer_->pending());
        // paused: Run, Stop, the generate and frame-export bars and Help
        QVERIFY(form.toolButton("ToolButRun")->isEnabled());
        QVERIFY(act(form, "ActionRunGif")->isEnabled());
        QVERIFY(!act(form, "ActionPause")->isEnabled());
        QVERIFY(act(form, "ActionStop")->isEnabled());
        QVERIFY(form.toolBar(1)->isEnabled());
        QVERIFY(act(form, "ActionGenerate")->isEnabled());
        QVERIFY(act(form, "ActionHelp")->isEnabled());
        QVERIFY(!form.toolBar(0)->isEnabled());
        QVERIFY(!act(form, "ActionNew")->isEnabled());
        QVERIFY(!form.menu("fileMenu")->menuAction()->isEnabled());
        QCOMPARE(form.project().selection.indices(), (std::vector<int>{1}));  // the mark of the frame shown
        QCOMPARE(shownPixel(), Color(0x00FF00));

        act(form, "ActionStop")->trigger();
        QCOMPARE(phase(), PlaybackPhase::Stopped);
        QCOMPARE(form.project().selection.indices(), (std::vector<int>{0}));
        QVERIFY(!act(form, "ActionUp")->isEnabled());
        QVERIFY(act(form, "ActionDown")->isEnabled());
        QCOMPARE(shownPixel(), Color(0x0000FF));
        QCOMPARE(form.frameStrip()->verticalScrollBar()->value(), 0);
        for (const char* name : {"ActionNew", "ActionAdd", "ActionDelete", "ActionGenerate"})
            QVERIFY2(act(form, name)->isEnabled(), name);
        QVERIFY(!act(form, "ActionStop")->isEnabled());
        QVERIFY(!act(form, "ActionPause")->isEnabled());
        QVERIFY(form.menu("fileMenu")->menuAction()->isEnabled());
    }

    void resumeShowsTheNextFrameByItsOwnTimeAndAtTheLastFrameEnds()
    {
        TAVIForm& form = window(gifProject(), {0x0000FF, 0x00FF00, 0xFF0000});
        form.project().frames[1].Time = 700;
        act(form, "ActionRunGif")->trigger();
        act(form, "ActionPause")->trigger();
        act(form, "ActionRunGif")->trigger();
        QCOMPARE(phase(), PlaybackPhase::Playing);
        QCOMPARE(timer_->delays.back(), 700);
        QCOMPARE(shownPixel(), Color(0x00FF00));
        QVERIFY(form.project().selection.empty());
        timer_->fire();
        act(form, "ActionPause")->trigger();  // at the last frame

        act(form, "ActionRunGif")->trigger();
        QCOMPARE(phase(), PlaybackPhase::Stopped);
        QVERIFY(!timer_->pending());
        QVERIFY(form.toolButton("ToolButRun")->isEnabled());
        QVERIFY(act(form, "ActionNew")->isEnabled());
        QCOMPARE(shownPixel(), Color(0xFF0000));
    }

    void theAviSoundStartsWithRunAsAviStopsWithPauseAndRestartsOnResume()
    {
        TAVIForm& form = window(aviProject(), {0x0000FF, 0x00FF00, 0xFF0000});
        form.project().settings.Sound = true;
        form.project().settings.Wav_File = "/music/song.wav";
        act(form, "ActionRunAvi")->trigger();
        act(form, "ActionPause")->trigger();
        act(form, "ActionRunAvi")->trigger();
        act(form, "ActionStop")->trigger();
        QCOMPARE(sound_->calls, (std::vector<std::string>{"async /music/song.wav", "stop",
                                                          "async /music/song.wav", "stop"}));
    }

    void aSoundThatCannotBePlayedIsNotedOnceAndTheFramesGoOn()
    {
        TAVIForm& form = window(aviProject(), {0x0000FF, 0x00FF00});
        form.project().settings.Sound = true;
        form.project().settings.Wav_File = "/music/once.wav";
        sound_->result = {false, "/music/once.wav: no sound server to play it on (Connection refused)"};
        for (int run = 0; run < 2; ++run) {
            act(form, "ActionRunAvi")->trigger();
            sound_->finishAll();
            QCoreApplication::processEvents();
            QCOMPARE(phase(), PlaybackPhase::Playing);
            timer_->fire();
            timer_->fire();
        }
        QCOMPARE(form.project().log.lines().size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(form.project().log.lines().front()),
                 QString("/music/once.wav: no sound server to play it on (Connection refused)"));
        QVERIFY(form.logPanelShown());
    }

    void closingTheWindowKillsThePendingTick()
    {
        TAVIForm& form = window(aviProject(), {0x0000FF, 0x00FF00});
        act(form, "ActionRunAvi")->trigger();
        QVERIFY(timer_->pending());
        // Exit answered with Cancel: the frames go on
        form.project().changed = true;
        dialogs_->answer = QMessageBox::Cancel;
        act(form, "ActionExit")->trigger();
        QVERIFY(form.isVisible());
        QCOMPARE(phase(), PlaybackPhase::Playing);
        QVERIFY(timer_->pending());

        form.project().changed = false;  // no question about saving
        form.close();
        QVERIFY(!timer_->pending());
    }

    void addSoundConfirmedWithoutAChangeLeavesSaveProjectAsItWas_data()
    {
        QTest::addColumn<bool>("changedBefore");
        QTest::addColumn<QString>("typed");  // what the file field holds at OK
        QTest::addColumn<bool>("box");
        QTest::addColumn<bool>("saveAfter");
        QTest::newRow("no change, saved") << false << "/music/Song.wav" << true << false;
        QTest::newRow("no change, unsaved") << true << "/music/Song.wav" << true << true;
        QTest::newRow("only the case") << false << "/MUSIC/song.WAV" << true << false;
        QTest::newRow("another file") << false << "/music/other.wav" << true << true;
        QTest::newRow("box cleared") << false << "/music/Song.wav" << false << true;
    }
    void addSoundConfirmedWithoutAChangeLeavesSaveProjectAsItWas()
    {
        QFETCH(bool, changedBefore);
        QFETCH(QString, typed);
        QFETCH(bool, box);
        QFETCH(bool, saveAfter);
        TAVIForm& form = window(aviProject(), {0x0000FF});
        form.project().settings.Sound = true;
        form.project().settings.Wav_File = "/music/Song.wav";
        form.project().changed = changedBefore;
        form.applyEnabling();
        soundDialogs_->script = [&](TFormAddSound& f) {
            f.soundField()->setText(typed);
            f.soundBox()->setChecked(box);
            return true;
        };
        act(form, "ActionInsertWav")->trigger();
        QCOMPARE(act(form, "ActionSave")->isEnabled(), saveAfter);
        QCOMPARE(QString::fromStdString(form.project().settings.Wav_File), typed);
        QCOMPARE(form.project().settings.Sound, box);
        QVERIFY(!generateState(form).output.OptionsChanged);
    }

    void addSoundCancelledStoresNothing()
    {
        TAVIForm& form = window(aviProject(), {0x0000FF});
        form.project().changed = false;
        soundDialogs_->script = [](TFormAddSound& f) {
            f.soundField()->setText("/elsewhere.wav");
            return false;
        };
        act(form, "ActionInsertWav")->trigger();
        QVERIFY(form.project().settings.Wav_File.empty());
        QVERIFY(!act(form, "ActionSave")->isEnabled());
    }

    void theSoundDialogsPlayButton()
    {
        TAVIForm& form = window(aviProject(), {0x0000FF});
        const QString wav = dir_.filePath("song.wav");
        form.project().settings.Wav_File = wav.toStdString();
        generateState(form).output.SoundDuration = 1234;
        QStringList seen;  // what the dialog showed, step by step
        soundDialogs_->script = [&](TFormAddSound& f) {
            seen << f.windowTitle() << f.durationPanel()->text();
            // the named file does not exist
            seen << QString("play %1").arg(f.playButton()->isEnabled());
            // Load: a file that cannot be measured shows -1 and still enables Play
            QFile(wav).open(QIODevice::WriteOnly);
            f.loadSound(wav);
            seen << f.durationPanel()->text() << QString("play %1").arg(f.playButton()->isEnabled());

            // Play waits for the sound with the button pressed and the rest
            // held still; a second click stops it
            QTimer::singleShot(0, &f, [&] {
                seen << QString("pressed %1, ok %2, playing %3")
                            .arg(f.playButton()->isChecked())
                            .arg(f.okButton()->isEnabled())
                            .arg(f.player()->playing());
                f.playButton()->click();
            });
            f.playButton()->click();
            seen << QString("pressed %1, ok %2, field %3, playing %4")
                        .arg(f.playButton()->isChecked())
                        .arg(f.okButton()->isEnabled())
                        .arg(f.soundField()->isEnabled())
                        .arg(f.player()->playing());

            // a sound that cannot be played says why
            sound_->result = {false, wav.toStdString() + ": not a RIFF file"};
            QTimer::singleShot(0, &f, [&] { sound_->finishAll(); });
            f.playButton()->click();
            return true;
        };
        act(form, "ActionInsertWav")->trigger();
        QCOMPARE(seen, (QStringList{"Adding of sound into AVI file", "Duration of playback: 1234 msec",
                                    "play 0", "Duration of playback: -1 msec", "play 1",
                                    "pressed 1, ok 0, playing 1", "pressed 0, ok 1, field 1, playing 0"}));
        QCOMPARE(sound_->calls, (std::vector<std::string>{"async " + wav.toStdString(), "stop",
                                                          "async " + wav.toStdString()}));
        QCOMPARE(soundDialogs_->messages.size(), 2);  // the measure's, then the player's
        QCOMPARE(soundDialogs_->messages.last(), "Error: " + wav + ": not a RIFF file");
        QCOMPARE(generateState(form).output.SoundDuration, -1);
    }

    void theAviOptionsPlayButtonPlaysThroughTheSamePlayer()
    {
        const QString wav = dir_.filePath("there.wav");
        QFile(wav).open(QIODevice::WriteOnly);
        AviOptionsValues start;
        start.wavFile = wav.toStdString();
        QStringList shown;
        TAviOptionsForm form("m.avi", start, nullptr, [&](const QString& caption, const QString& text) {
            shown << caption + ": " + text;
        });
        QVERIFY(form.playButton()->isEnabled());  // the named file exists
        auto sound = std::make_shared<RecordingSoundPlayer>();
        sound->result = {false, wav.toStdString() + ": no sound server to play it on (Connection refused)"};
        form.player()->setPlayer(sound);
        QTimer::singleShot(0, &form, [&] { sound->finishAll(); });
        form.playButton()->click();
        QCOMPARE(sound->calls, (std::vector<std::string>{"async " + wav.toStdString()}));
        QCOMPARE(shown,
                 QStringList{"Error: " + wav + ": no sound server to play it on (Connection refused)"});
        QVERIFY(form.saveButton()->isEnabled());
    }
};

QTEST_MAIN(PlaybackTest)
#include "playback_test.moc"
