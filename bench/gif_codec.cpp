// GIF codec speed beside giflib: decoding a 300-frame 640 x 360 animation to
// index data, and LZW-encoding that index data. The animation is made once
// per run with ffmpeg (a test pattern, a fractal zoom and moving colour
// ramps, full frames with a 256-colour palette) in a temporary folder, unless
// PELKO_BENCH_GIF names one.
//
// Compare the medians: DecodeOurs / DecodeGiflib and EncodeOurs /
// EncodeGiflib should be <= 1.0; the bytes counters of the two encoders
// should be within 1 % of each other.

#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/gif/gif_image.h"
#include "engine/image/ppm.h"

namespace {

using namespace pelko;
using Bytes = std::vector<std::uint8_t>;

struct Animation {
    Bytes file;
    int width = 0, height = 0;
    std::vector<Bytes> frames;  // index data, full frames
    std::vector<Color> palette;
    std::int64_t pixels = 0;
    std::string error;
};

const Animation& animation()
{
    static const Animation a = [] {
        Animation a;
        // PELKO_BENCH_GIF names an animation to use instead (saves making one).
        if (const char* given = std::getenv("PELKO_BENCH_GIF")) {
            a.file = readFile(given);
        } else {
            const auto dir =
                std::filesystem::temp_directory_path() / ("pelko_bench_gif_" + std::to_string(::getpid()));
            std::filesystem::create_directories(dir);
            const std::string gif = (dir / "anim.gif").string();
            const std::string cmd =
                "ffmpeg -v error -nostdin -y -f lavfi -i testsrc2=s=640x360:r=30 "
                "-f lavfi -i mandelbrot=s=640x360:r=30:maxiter=256 -f lavfi -i "
                "gradients=s=640x360:r=30:speed=0.05 "
                "-filter_complex \"[0]trim=end_frame=100,setpts=PTS-STARTPTS[a];"
                "[1]trim=end_frame=100,setpts=PTS-STARTPTS[b];[2]trim=end_frame=100,setpts=PTS-STARTPTS,"
                "format=rgb24[c];"
                "[a][b][c]concat=n=3:v=1,split[s0][s1];[s0]palettegen=max_colors=256[p];[s1][p]paletteuse="
                "dither=bayer\" "
                "-gifflags 0 '" +
                gif + "'";
            if (std::system(cmd.c_str()) != 0) {
                a.error = "ffmpeg could not make the animation";
                return a;
            }
            a.file = readFile(gif);
            std::filesystem::remove_all(dir);
        }
        TGIFImage image;
        image.LoadFromBytes(a.file.data(), a.file.size());
        a.width = image.GetWidth();
        a.height = image.GetHeight();
        for (const auto& f : image.Images()) {
            if (f->GetEmpty())
                continue;
            a.frames.push_back(f->Data());
            a.pixels += std::int64_t(f->Data().size());
            if (a.palette.empty())
                a.palette = f->GetActiveColorMap().ExportPalette();
        }
        return a;
    }();
    return a;
}

struct MemoryReader {
    const Bytes* bytes;
    std::size_t pos = 0;
};

int readMemory(GifFileType* gif, GifByteType* dst, int n)
{
    auto* r = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t take = std::min<std::size_t>(std::size_t(n), r->bytes->size() - r->pos);
    std::memcpy(dst, r->bytes->data() + r->pos, take);
    r->pos += take;
    return int(take);
}

int writeMemory(GifFileType* gif, const GifByteType* src, int n)
{
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), src, src + n);
    return n;
}

void BM_DecodeOurs(benchmark::State& state)
{
    const Animation& a = animation();
    if (!a.error.empty())
        return state.SkipWithError(a.error.c_str());
    for (auto _ : state) {
        TGIFImage image;
        image.LoadFromBytes(a.file.data(), a.file.size());
        benchmark::DoNotOptimize(image.Images().GetCount());
    }
    state.SetItemsProcessed(state.iterations() * a.pixels);
}

void BM_DecodeGiflib(benchmark::State& state)
{
    const Animation& a = animation();
    if (!a.error.empty())
        return state.SkipWithError(a.error.c_str());
    for (auto _ : state) {
        MemoryReader reader{&a.file};
        int error = 0;
        GifFileType* gif = DGifOpen(&reader, readMemory, &error);
        if (!gif || DGifSlurp(gif) != GIF_OK)
            return state.SkipWithError("giflib could not read the animation");
        benchmark::DoNotOptimize(gif->ImageCount);
        DGifCloseFile(gif, &error);
    }
    state.SetItemsProcessed(state.iterations() * a.pixels);
}

void BM_EncodeOurs(benchmark::State& state)
{
    const Animation& a = animation();
    if (!a.error.empty())
        return state.SkipWithError(a.error.c_str());
    // The frames as one image with a global map, written with LZW.
    TGIFImage image;
    image.SetCompression(gcLZW);
    image.GetColorMap().ImportPalette(a.palette);
    for (const Bytes& data : a.frames) {
        auto f = std::make_unique<TGIFSubImage>(&image);
        f->SetWidth(a.width);
        f->SetHeight(a.height);
        f->Data() = data;
        image.Add(std::move(f));
    }
    std::size_t size = 0;
    for (auto _ : state) {
        GifOutput out;
        out.bytes().reserve(a.file.size());
        image.SaveToStream(out);
        size = out.size();
        benchmark::DoNotOptimize(out.bytes().data());
    }
    state.counters["bytes"] = double(size);
    state.SetItemsProcessed(state.iterations() * a.pixels);
}

void BM_EncodeGiflib(benchmark::State& state)
{
    const Animation& a = animation();
    if (!a.error.empty())
        return state.SkipWithError(a.error.c_str());
    std::vector<GifColorType> colors(256);
    for (std::size_t i = 0; i < a.palette.size() && i < 256; ++i)
        colors[i] = {redOf(a.palette[i]), greenOf(a.palette[i]), blueOf(a.palette[i])};
    std::size_t size = 0;
    for (auto _ : state) {
        Bytes out;
        out.reserve(a.file.size());
        int error = 0;
        GifFileType* gif = EGifOpen(&out, writeMemory, &error);
        ColorMapObject* map = GifMakeMapObject(256, colors.data());
        EGifPutScreenDesc(gif, a.width, a.height, 8, 0, map);
        for (const Bytes& data : a.frames) {
            EGifPutImageDesc(gif, 0, 0, a.width, a.height, false, nullptr);
            for (int y = 0; y < a.height; ++y)
                EGifPutLine(gif,
                            const_cast<GifPixelType*>(data.data() + std::size_t(y) * std::size_t(a.width)),
                            a.width);
        }
        EGifCloseFile(gif, &error);
        GifFreeMapObject(map);
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = double(size);
    state.SetItemsProcessed(state.iterations() * a.pixels);
}

BENCHMARK(BM_DecodeOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeGiflib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeOurs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeGiflib)->Unit(benchmark::kMillisecond);

}  // namespace
