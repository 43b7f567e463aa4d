// AVI writer benchmarks.
//
//   Encode/FOURCC     our writer encoding the benchmark frames
//   FfmpegCli/FOURCC  ffmpeg's command line encoding the same frames with the
//                     same encoder and settings (the ratio of the two is the
//                     figure to watch: ours should take at most 1.1 x as long)
//   Uncompressed1080p 60 uncompressed 1920 x 1080 frames: bytes per second
//   PeakMemory1080p   300 frames of 1920 x 1080 plus 12 s of sound whose format
//                     is learnt after the frames; run it alone
//                     (--benchmark_filter=PeakMemory) for a meaningful peak_rss_MB
//
// Frames: PNG files frame_*.png from PELKO_BENCH_FRAMES (make them with
// /work/shared/bench/make_frames.sh DIR 60 640x360), else synthetic 640 x 360.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/avi/avi_writer.h"
#include "engine/image/picture_reader.h"

namespace {

using namespace pelko;
namespace fs = std::filesystem;

const fs::path kWork = fs::temp_directory_path() / ("pelko-avi-bench-" + std::to_string(::getpid()));

Picture synthetic(int w, int h, int i)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* px = p.row(y) + 3 * x;
            px[0] = std::uint8_t(x + i * 3);
            px[1] = std::uint8_t(y * 2 - i);
            px[2] = std::uint8_t((x * y) >> 6);
        }
    return p;
}

const std::vector<Picture>& frames()
{
    static const std::vector<Picture> pictures = [] {
        std::vector<Picture> v;
        if (const char* dir = std::getenv("PELKO_BENCH_FRAMES")) {
            std::vector<fs::path> files;
            for (const auto& e : fs::directory_iterator(dir))
                if (e.path().extension() == ".png")
                    files.push_back(e.path());
            std::sort(files.begin(), files.end());
            for (const auto& f : files) v.push_back(readStillPicture(f.string()));
        }
        if (v.empty())
            for (int i = 0; i < 60; ++i) v.push_back(synthetic(640, 360, i));
        return v;
    }();
    return pictures;
}

// The frames as one raw BGR file for ffmpeg's command line.
const fs::path& rawFrames()
{
    static const fs::path path = [] {
        fs::create_directories(kWork);
        const fs::path p = kWork / "frames.bgr";
        std::ofstream out(p, std::ios::binary);
        for (const auto& f : frames())
            out.write(reinterpret_cast<const char*>(f.data()), std::streamsize(f.byteSize()));
        return p;
    }();
    return path;
}

struct Setting {
    const char* fourcc;
    int quality;
    const char* ffmpegArgs;  // the same encoder and settings on ffmpeg's command line
};
// quality 80 -> quantiser 31 - 80 * 29 / 100 = 8; quality 55 -> crf 45 * 0.51 = 22.95
const Setting kSettings[] = {
    {"DIVX", 80, "-c:v mpeg4 -q:v 8 -bf 0 -vtag DIVX -pix_fmt yuv420p"},
    {"XVID", 80, "-c:v libxvid -q:v 8 -bf 0 -vtag XVID -pix_fmt yuv420p"},
    {"MJPG", 80, "-c:v mjpeg -q:v 8 -pix_fmt yuvj420p"},
    {"H264", 55, "-c:v libx264 -crf 22.95 -bf 0 -pix_fmt yuv420p"},
    {"FFV1", -1, "-c:v ffv1 -pix_fmt bgr0"},
};

void writeAll(benchmark::State& state, const CompressOptions& options, const std::vector<Picture>& pics)
{
    fs::create_directories(kWork);
    const std::string out = (kWork / "out.avi").string();
    AviWriterPtr w = OpenAviWriter(out, 40);
    if (ChooseVideoCodec(w.get(), &pics.front(), &options, false, nullptr) != AVIERR_OK)
        state.SkipWithError("codec not available");
    for (const auto& p : pics)
        if (WriteVideoFrame(w.get(), &p) != AVIERR_OK) {
            state.SkipWithError("write failed");
            break;
        }
    CloseAviWriter(std::move(w));
}

void BM_Encode(benchmark::State& state, Setting s)
{
    const CompressOptions options{s.fourcc, s.quality};
    for (auto _ : state) writeAll(state, options, frames());
    // File sizes of the two sides show that the settings match.
    state.counters["file_KB"] = double(fs::file_size(kWork / "out.avi")) / 1024.0;
    state.counters["fps"] =
        benchmark::Counter(double(frames().size()) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_FfmpegCli(benchmark::State& state, Setting s)
{
    const Picture& f = frames().front();
    const std::string cmd = "ffmpeg -v error -y -f rawvideo -pix_fmt bgr24 -s " + std::to_string(f.width()) +
                            "x" + std::to_string(f.height()) + " -r 25 -i '" + rawFrames().string() + "' " +
                            s.ffmpegArgs + " '" + (kWork / "cli.avi").string() + "'";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("ffmpeg failed");
    if (fs::exists(kWork / "cli.avi"))
        state.counters["file_KB"] = double(fs::file_size(kWork / "cli.avi")) / 1024.0;
    state.counters["fps"] =
        benchmark::Counter(double(frames().size()) * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Uncompressed1080p(benchmark::State& state)
{
    std::vector<Picture> pics;
    for (int i = 0; i < 4; ++i) pics.push_back(synthetic(1920, 1080, i));
    std::vector<Picture> sixty;
    for (int i = 0; i < 60; ++i) sixty.push_back(pics[i % 4]);
    for (auto _ : state) writeAll(state, CompressOptions{"DIB ", -1}, sixty);
    state.SetBytesProcessed(std::int64_t(state.iterations()) * 60 * dibImageSize(1920, 1080));
}

long peakRssKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

void BM_PeakMemory1080p(benchmark::State& state)
{
    fs::create_directories(kWork);
    // 12 s of 16-bit stereo at 44100/s.
    const std::uint32_t dataBytes = 12 * 44100 * 4;
    std::vector<std::uint8_t> wav(44 + dataBytes, 0);
    auto put = [&](std::size_t at, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) wav[at + i] = std::uint8_t(v >> (8 * i));
    };
    std::copy_n("RIFF", 4, wav.begin());
    put(4, 36 + dataBytes, 4);
    std::copy_n("WAVEfmt ", 8, wav.begin() + 8);
    put(16, 16, 4), put(20, 1, 2), put(22, 2, 2), put(24, 44100, 4), put(28, 44100 * 4, 4), put(32, 4, 2),
        put(34, 16, 2);
    std::copy_n("data", 4, wav.begin() + 36);
    put(40, dataBytes, 4);
    const std::string wavPath = (kWork / "sound.wav").string();
    std::ofstream(wavPath, std::ios::binary)
        .write(reinterpret_cast<const char*>(wav.data()), std::streamsize(wav.size()));
    wav = {};

    const long before = peakRssKb();
    for (auto _ : state) {
        Picture p = synthetic(1920, 1080, 0);
        AviWriterPtr w = OpenAviWriter((kWork / "mem.avi").string(), 40);
        for (int i = 0; i < 300; ++i) {
            p.setPixel(i, i, rgb(255, 0, 0));
            WriteVideoFrame(w.get(), &p);
        }
        if (WriteWavSound(w.get(), wavPath) != AVIERR_OK || CloseAviWriter(std::move(w)) != AVIERR_OK)
            state.SkipWithError("writing failed");
    }
    state.counters["peak_rss_MB"] = double(peakRssKb()) / 1024.0;
    state.counters["rss_before_MB"] = double(before) / 1024.0;
}

struct Registration {
    Registration()
    {
        for (const Setting& s : kSettings) {
            if (!findVideoCodec(s.fourcc))
                continue;
            benchmark::RegisterBenchmark((std::string("Encode/") + s.fourcc).c_str(), BM_Encode, s)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark((std::string("FfmpegCli/") + s.fourcc).c_str(), BM_FfmpegCli, s)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
        benchmark::RegisterBenchmark("Uncompressed1080p", BM_Uncompressed1080p)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark("PeakMemory1080p", BM_PeakMemory1080p)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1);
    }
    ~Registration() { fs::remove_all(kWork); }
} registration;

}  // namespace
