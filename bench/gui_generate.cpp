// The window's Generate on the benchmark frames (PELKO_BENCH_FRAMES, the
// folder make_frames.sh filled): a GIF project of the pictures at their
// size, written as an animated GIF with the options dialog answered at once
// (Save without waiting for its preview) and with its preview built first,
// whose animation Save then writes. bench/generate_window.sh compares it with
// pelko-cli make on the same frames.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <cstdlib>

#include "gui/app/main_window.h"
#include "gui/output/ani_gif_form.h"
#include "platform/qt_settings_store.h"

namespace pelko {
namespace {

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

// New answers with the canvas; nothing else is asked.
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

struct GifAnswers : OutputDialogs {
    QString file;
    bool preview = false;
    QString outputFile(QWidget*, int, const QString&, const QString&) override { return file; }
    bool aviOptions(TAviOptionsForm&) override { return false; }
    bool gifOptions(TAniGIFForm& form) override
    {
        if (preview)
            form.refreshPreview();
        return true;
    }
    bool codecWindow(CodecWindow&) override { return false; }
    bool askTryAgain(QWidget*, const QString&) override { return false; }
    void message(QWidget*, const QString&, const QString&) override {}
};

void windowGif(benchmark::State& state, bool preview)
{
    application();
    const QString folder = qEnvironmentVariable("PELKO_BENCH_FRAMES");
    const QStringList names = QDir(folder).entryList({"frame_*.png"}, QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        state.SkipWithError(
            "PELKO_BENCH_FRAMES names no folder of frame_NNNN.png (bench/generate_window.sh)");
        return;
    }
    QStringList pictures;
    for (const QString& n : names) pictures << QDir(folder).filePath(n);
    QTemporaryDir dir;
    auto dialogs = std::make_shared<NewProjectDialogs>();
    const QSize size = QImageReader(pictures.first()).size();
    dialogs->canvas.Width = size.width();
    dialogs->canvas.Height = size.height();
    dialogs->canvas.Type = ProjectGif;
    StartOptions start;
    start.store = std::make_shared<QtSettingsStore>(dir.filePath("settings.ini"));
    start.screen = ScreenSize{1920, 1080};
    start.dialogs = dialogs;
    TAVIForm form(start);
    auto answers = std::make_shared<GifAnswers>();
    answers->file = dir.filePath("out.gif");
    answers->preview = preview;
    form.setOutputDialogs(answers);
    form.action("ActionNew")->trigger();
    form.addPictures(pictures);
    for (auto _ : state) form.action("ActionGenerate")->trigger();
    state.counters["frames"] = double(form.project().frames.count());
    state.counters["bytes"] = double(QFileInfo(answers->file).size());
}

void BM_WindowGif(benchmark::State& state)
{
    windowGif(state, false);
}
void BM_WindowGifAfterPreview(benchmark::State& state)
{
    windowGif(state, true);
}
BENCHMARK(BM_WindowGif)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WindowGifAfterPreview)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace pelko
