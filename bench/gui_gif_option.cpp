// The "After" preview of the GIF frame options on a 640 x 360 benchmark
// frame (PELKO_BENCH_FRAME, default /tmp/b60/frame_0001.png, made by
// /work/shared/bench/make_frames.sh) with Floyd-Steinberg: the engine's
// preview alone, and in the dialog from a change of the colours list to the
// new picture shown (worker, hand-over and drawing included). The dialog is
// large enough to show the whole frame.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <cstdlib>

#include "engine/gif_options/gif_color_preview.h"
#include "engine/image/picture_reader.h"
#include "gui/colour/gif_option_form.h"

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

const Picture& benchFrame()
{
    static const Picture frame = [] {
        const char* path = std::getenv("PELKO_BENCH_FRAME");
        return readStillPicture(path ? path : "/tmp/b60/frame_0001.png");
    }();
    return frame;
}

GifFrameSettings floydSteinberg()
{
    GifFrameSettings s = kDefaultGifFrameSettings;
    s.ColorDither = dmFloydSteinberg;
    return s;
}

void enginePreview(benchmark::State& state)
{
    const Picture& frame = benchFrame();
    for (auto _ : state) {
        GifColorPreview p = buildGifColorPreview(frame, floydSteinberg(), true, 0xC0C0C0);
        benchmark::DoNotOptimize(p.after.data());
    }
    state.SetLabel(std::to_string(frame.width()) + "x" + std::to_string(frame.height()));
}
BENCHMARK(enginePreview)->Unit(benchmark::kMillisecond)->UseRealTime();

void dialogChangeToAfter(benchmark::State& state)
{
    application();
    const Picture& frame = benchFrame();
    GifStillSettings settings;
    settings.gif = floydSteinberg();
    TGifOptionForm form("frame.gif", frame, settings);
    form.resize(frame.width() * 2 + 400, frame.height() + 300);
    form.show();
    const auto shown = [&] { return form.shownPreview() == form.requestedPreview(); };
    QElapsedTimer clock;
    clock.start();
    while (!shown() && clock.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!shown() || form.beforeImage().size() != QSize(frame.width(), frame.height())) {
        state.SkipWithError("the dialog does not show the whole frame");
        return;
    }
    int item = 4;
    for (auto _ : state) {
        // Floyd-Steinberg to 128 and 256 colours in turn, so every change counts
        form.colorsList()->setCurrentIndex(item);
        item = 9 - item;
        while (!shown()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
BENCHMARK(dialogChangeToAfter)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace pelko
