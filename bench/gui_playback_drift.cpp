// How far the window's playback drifts from the animation's own clock: an AVI
// project of 40 ms frames played through the real PlaybackController, its
// precise single-shot timer and the frame pacer, for PELKO_DRIFT_SECONDS
// (60 unless set) of frames. Reported: drift (when the last frame came
// against when it was due, ms), late_mean and late_max (each frame's
// lateness against its place on the grid, ms).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <vector>

#include "engine/image/png_picture.h"
#include "engine/image/ppm.h"
#include "gui/app/main_window.h"
#include "gui/playback/playback_controller.h"
#include "platform/qt_settings_store.h"

namespace pelko {
namespace {

constexpr int kFrameMs = 40;

QApplication& application()
{
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

struct NewProjectDialogs : DialogProvider {
    ProjectOptions canvas;
    QStringList pictureFiles(QWidget*) override { return {}; }
    QString openProjectFile(QWidget*) override { return {}; }
    QString saveProjectFile(QWidget*, const QString&) override { return {}; }
    bool projectOptions(QWidget*, ProjectOptions& o, ShowFlags&, bool, DefaultFrameSize) override
    {
        o = canvas;
        return true;
    }
    QMessageBox::StandardButton askSaveChanges(QWidget*) override { return QMessageBox::No; }
    void error(QWidget*, const QString& text, bool) override { qWarning("%s", qPrintable(text)); }
};

// The program's timer, noting when each tick comes.
struct NotingTimer : TickTimer {
    PreciseTickTimer real;
    std::vector<Clock::time_point> ticks;
    void arm(std::chrono::milliseconds delay, std::function<void()> tick) override
    {
        real.arm(delay, [this, tick = std::move(tick)] {
            ticks.push_back(Clock::now());
            tick();
        });
    }
    void cancel() override { real.cancel(); }
    bool pending() const override { return real.pending(); }
    Clock::time_point now() const override { return real.now(); }
};

void BM_PlaybackDrift(benchmark::State& state)
{
    QApplication& app = application();
    const int seconds = qEnvironmentVariableIntValue("PELKO_DRIFT_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("PELKO_DRIFT_SECONDS")
                            : 60;
    const int frames = seconds * 1000 / kFrameMs;
    QTemporaryDir dir;
    QStringList pictures;
    for (int i = 0; i < 2; ++i) {
        Picture p(320, 240);
        p.fill(i ? 0xFF0000 : 0x0000FF);
        const QString path = dir.filePath(QString("f%1.png").arg(i));
        writeFile(path.toStdString(), encodePngPicture(p));
        pictures << path;
    }
    QStringList all;
    for (int i = 0; i < frames; ++i) all << pictures[i % 2];

    auto dialogs = std::make_shared<NewProjectDialogs>();
    dialogs->canvas.Width = 320;
    dialogs->canvas.Height = 240;
    dialogs->canvas.Type = ProjectAvi;
    dialogs->canvas.AviFrameTime = kFrameMs;
    StartOptions start;
    start.store = std::make_shared<QtSettingsStore>(dir.filePath("settings.ini"));
    start.screen = ScreenSize{1920, 1080};
    start.dialogs = dialogs;
    TAVIForm form(start);
    form.show();
    app.processEvents();  // the first run's New
    form.action("ActionNew")->trigger();
    form.addPictures(all);
    if (form.project().frames.count() != frames) {
        state.SkipWithError("the project did not get its frames");
        return;
    }

    for (auto _ : state) {
        auto timer = std::make_unique<NotingTimer>();
        NotingTimer* noting = timer.get();
        form.playback()->setTimer(std::move(timer));
        const auto begun = TickTimer::Clock::now();
        form.action("ActionRunAvi")->trigger();
        while (form.playback()->playback().playing()) app.processEvents(QEventLoop::WaitForMoreEvents);
        // tick k (from 1) shows frame k, due k frame times after the start;
        // the last tick ends the playback
        double lateSum = 0, lateMax = 0;
        for (std::size_t k = 0; k < noting->ticks.size(); ++k) {
            const auto due = begun + std::chrono::milliseconds(kFrameMs * int(k + 1));
            const double late = std::chrono::duration<double, std::milli>(noting->ticks[k] - due).count();
            lateSum += late;
            lateMax = std::max(lateMax, late);
        }
        const auto lastDue = begun + std::chrono::milliseconds(kFrameMs * int(noting->ticks.size()));
        state.counters["frames"] = double(noting->ticks.size());
        state.counters["drift"] =
            std::chrono::duration<double, std::milli>(noting->ticks.back() - lastDue).count();
        state.counters["late_mean"] = lateSum / double(noting->ticks.size());
        state.counters["late_max"] = lateMax;
        state.counters["seconds"] = std::chrono::duration<double>(TickTimer::Clock::now() - begun).count();
    }
}
BENCHMARK(BM_PlaybackDrift)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace pelko
