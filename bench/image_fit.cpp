// Fitting a large photo-sized picture into a thumbnail and into a full-HD
// canvas: the B-spline resampling's 16 taps per output pixel.

#include <benchmark/benchmark.h>

#include "engine/image/resample.h"

using namespace pelko;

namespace {

const Picture& source()
{
    static const Picture pic = [] {
        Picture p(4000, 3000);
        std::uint32_t s = 12345;
        for (int y = 0; y < p.height(); ++y) {
            std::uint8_t* r = p.row(y);
            for (int x = 0; x < p.width() * 3; ++x) {
                s = s * 1664525u + 1013904223u;
                r[x] = std::uint8_t((x / 3 + y) / 30 + (s >> 28));
            }
        }
        return p;
    }();
    return pic;
}

void fitInto(benchmark::State& state)
{
    const int bw = int(state.range(0)), bh = int(state.range(1));
    const Picture& src = source();
    const FitSize size = fittedSize(src.width(), src.height(), bw, bh);
    for (auto _ : state) {
        Picture out = fitPicture(src, bw, bh);
        benchmark::DoNotOptimize(out.data());
    }
    const double pixels = double(size.width) * size.height;
    state.counters["Mpixel/s"] =
        benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

}  // namespace

BENCHMARK(fitInto)->Args({168, 108})->Args({1920, 1080})->Unit(benchmark::kMillisecond)->UseRealTime();
