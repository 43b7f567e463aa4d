// Speed of colour reduction on photo frames.
//
// Frames: set PELKO_BENCH_FRAMES to a folder of binary PPM frames (for
// example made with /work/shared/bench/make_frames.sh and converted with
// ffmpeg); without it a synthetic 640 x 360 photo-like frame is used.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/colour/bitmap_frame.h"
#include "engine/colour/color_reduction.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/optimize.h"
#include "engine/image/ppm.h"

namespace {

using namespace pelko;

std::vector<Bitmap> loadFrames()
{
    std::vector<Bitmap> frames;
    if (const char* dir = std::getenv("PELKO_BENCH_FRAMES")) {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            if (e.path().extension() == ".ppm")
                names.push_back(e.path().string());
        std::sort(names.begin(), names.end());
        for (const std::string& n : names) {
            auto bytes = readFile(n);
            frames.push_back(Bitmap::fromPicture(decodePpm(bytes.data(), bytes.size())));
        }
    }
    if (frames.empty()) {
        // Smooth gradients with fine texture: many colours, like a photo.
        Bitmap b(640, 360, pf24bit);
        for (int y = 0; y < 360; ++y)
            for (int x = 0; x < 640; ++x) {
                std::uint8_t* p = b.scanline(y) + x * 3;
                double t = std::sin(x * 0.013) * std::cos(y * 0.021);
                p[0] = std::uint8_t(std::clamp(128 + 100 * t + (x * 7 + y * 3) % 11, 0.0, 255.0));
                p[1] = std::uint8_t(std::clamp(x * 255.0 / 640 + (x ^ y) % 7, 0.0, 255.0));
                p[2] = std::uint8_t(std::clamp(y * 255.0 / 360 + 20 * t, 0.0, 255.0));
            }
        frames.push_back(std::move(b));
    }
    return frames;
}

const std::vector<Bitmap>& frames()
{
    static const std::vector<Bitmap> f = loadFrames();
    return f;
}

// The first frame of the set is a photograph.
void reduce(benchmark::State& state, TColorReduction mode, TDitherMode dither)
{
    const Bitmap& src = frames().front();
    for (auto _ : state) {
        Bitmap out = ReduceColors(src, mode, dither, 8);
        benchmark::DoNotOptimize(out.scanline(0));
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(src.width()) * src.height());
}

void BM_QuantizeFloydSteinberg(benchmark::State& s)
{
    reduce(s, rmQuantize, dmFloydSteinberg);
}
void BM_QuantizeNearest(benchmark::State& s)
{
    reduce(s, rmQuantize, dmNearest);
}
void BM_NetscapeFloydSteinberg(benchmark::State& s)
{
    reduce(s, rmNetscape, dmFloydSteinberg);
}
void BM_QuantizeStucki(benchmark::State& s)
{
    reduce(s, rmQuantize, dmStucki);
}

BENCHMARK(BM_QuantizeFloydSteinberg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuantizeNearest)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NetscapeFloydSteinberg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuantizeStucki)->Unit(benchmark::kMillisecond);

// The animation the generator makes of the frames: each reduced with
// rmQuantize to its own map, with a control block of 5 hundredths.
const TGIFImage& animation()
{
    static TGIFImage image;
    if (image.GetEmpty()) {
        image.SetColorReduction(rmQuantize);
        image.SetDitherMode(dmNearest);
        for (const Bitmap& f : frames()) {
            TGIFSubImage& frame = *image.Images().GetImage(AddBitmap(image, f));
            auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
            gce->SetDelay(5);
            frame.Extensions().Add(std::move(gce));
        }
    }
    return image;
}

// OptimizeColorMap and Optimize([ooMerge, ooCrop]) over the whole animation.
void BM_OptimizeAnimation(benchmark::State& state)
{
    const TGIFImage& source = animation();
    for (auto _ : state) {
        state.PauseTiming();
        TGIFImage image;
        image.Assign(&source);
        state.ResumeTiming();
        OptimizeColorMap(image);
        Optimize(image, {ooMerge, ooCrop}, rmQuantize, dmNearest, 8);
        benchmark::DoNotOptimize(image.Images().GetCount());
    }
    state.counters["frames"] = double(source.Images().GetCount());
}
BENCHMARK(BM_OptimizeAnimation)->Unit(benchmark::kMillisecond);

}  // namespace
