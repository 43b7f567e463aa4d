// One grab of the capture bar: a 1280 x 720 area of the X display with the
// mouse cursor drawn in, through the X11 grabber (Qt's screen grab and the
// XFixes cursor). It needs an X display of at least 1280 x 720, e.g.
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/bench_gui_capture_grab \
//       --benchmark_repetitions=20 --benchmark_report_aggregates_only=true
// The capture's shortest period is 500 ms; a grab should stay under 20 ms.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <memory>
#include <string>

#include "engine/capture/grab_picture.h"
#include "platform/x11_screen_grabber.h"

namespace pelko {
namespace {

void BM_GrabWithCursor(benchmark::State& state)
{
    std::string why;
    static std::unique_ptr<QGuiApplication> app = x11CaptureApplication(why);
    if (!app && !QGuiApplication::instance()) {
        state.SkipWithError(why.c_str());
        return;
    }
    try {
        X11ScreenGrabber grabber;
        const DesktopSize desktop = grabber.desktopSize();
        if (desktop.width < 1280 || desktop.height < 720) {
            state.SkipWithError("the display is smaller than 1280 x 720");
            return;
        }
        const Rect area{(desktop.width - 1280) / 2, (desktop.height - 720) / 2, 1280, 720};
        for (auto _ : state) {
            Picture p = grabCapturePicture(grabber, area, true);
            benchmark::DoNotOptimize(p.data());
        }
        state.SetItemsProcessed(state.iterations());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_GrabWithCursor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace pelko
