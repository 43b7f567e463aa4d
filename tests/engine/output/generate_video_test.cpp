#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "engine/output/generate_video.h"
#include "support/given_pictures.h"
#include "support/temp_dir.h"

using namespace pelko;
using namespace pelko::test;

namespace {

bool haveFfmpeg()
{
    return std::system("ffprobe -version >/dev/null 2>&1 && ffmpeg -version >/dev/null 2>&1") == 0;
}

// What a command prints.
std::string run(const std::string& command)
{
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> v;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        if (!l.empty())
            v.push_back(l);
    return v;
}

// A 16-bit stereo WAV of a 440 Hz tone.
void writeToneWav(const std::string& path, int rate, int ms)
{
    const std::uint32_t frames = std::uint32_t(rate) * std::uint32_t(ms) / 1000, bytes = frames * 4;
    std::vector<std::uint8_t> v;
    const auto le = [&v](std::uint32_t x, int n) {
        for (int i = 0; i < n; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
    };
    const auto tag = [&v](const char* t) { v.insert(v.end(), t, t + 4); };
    tag("RIFF");
    le(36 + bytes, 4);
    tag("WAVE");
    tag("fmt ");
    le(16, 4);
    le(1, 2);
    le(2, 2);
    le(std::uint32_t(rate), 4);
    le(std::uint32_t(rate) * 4, 4);
    le(4, 2);
    le(16, 2);
    tag("data");
    le(bytes, 4);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const auto s = std::uint16_t(std::int16_t(8000 * std::sin(i * 2 * M_PI * 440 / rate)));
        le(s, 2);
        le(s, 2);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(v.data()), std::streamsize(v.size()));
}

// Frames of width x height at the given times: a coloured block that moves
// over a pattern, each frame different.
Project movingFrames(int width, int height, const std::vector<int>& times, bool noisy = false)
{
    Project p;
    p.settings.Width = width;
    p.settings.Height = height;
    std::mt19937 random(7);
    for (std::size_t i = 0; i < times.size(); ++i) {
        FrameRecord f;
        f.Time = std::uint16_t(times[i]);
        Picture& pic = givePicture(f, Picture(width, height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t n = noisy ? std::uint8_t(random()) : 0;
                pic.setPixel(
                    x, y, rgb(std::uint8_t(x * 2 + n / 2), std::uint8_t(y * 2), std::uint8_t(160 + n / 4)));
            }
        const int left = int(i * 7) % std::max(1, width - 40);
        for (int y = 10; y < 50 && y < height; ++y)
            for (int x = left; x < left + 40; ++x) pic.setPixel(x, y, rgb(230, 30, 20));
        p.frames.append(std::move(f));
    }
    return withGivenPictures(std::move(p));
}

struct Probe {
    std::string codecs;  // "h264 aac"
    int width = 0, height = 0;
    std::vector<double> times;  // of the video frames, in order
};

Probe probe(const std::string& file)
{
    Probe p;
    for (const std::string& l :
         lines(run("ffprobe -v error -show_entries stream=codec_name -of csv=p=0 '" + file + "'")))
        p.codecs += (p.codecs.empty() ? "" : " ") + l;
    std::istringstream size(
        run("ffprobe -v error -select_streams v -show_entries stream=width,height -of csv=p=0:s=x '" + file +
            "'"));
    char x;
    size >> p.width >> x >> p.height;
    for (const std::string& l :
         lines(run("ffprobe -v error -select_streams v -show_entries packet=pts_time -of "
                   "csv=p=0 '" +
                   file + "'")))
        p.times.push_back(std::stod(l));
    std::sort(p.times.begin(), p.times.end());
    return p;
}

std::uint8_t decodedRed(const std::string& file, int width, int x, int y)
{
    const std::string raw = run("ffmpeg -v error -i '" + file + "' -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
    const std::size_t at = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
    return at < raw.size() ? std::uint8_t(raw[at]) : 0;
}

class CancelAfter : public ProgressSink {
public:
    explicit CancelAfter(int frames) : frames_(frames) {}
    void frames(int done, int) override { done_ = done; }
    bool cancelled() const override { return done_ >= frames_; }

private:
    int frames_;
    int done_ = 0;
};

}  // namespace

// Both formats keep every frame at its own time (an odd canvas padded to
// even sides), with the sound in the format's codec.
TEST(GenerateVideo, RoundTripKeepsFrameTimesSizeAndSound)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg and ffprobe are not installed";
    TempDir dir;
    writeToneWav(dir.file("tone.wav"), 44100, 900);
    const std::vector<int> times = {100, 250, 40, 0, 500, 110};
    const std::vector<double> expected = {0, 0.1, 0.35, 0.39, 0.391, 0.89};
    const struct {
        VideoFormat format;
        const char* name;
        const char* codecs;
    } cases[] = {{VideoFormat::Mp4, "out.mp4", "h264 aac"}, {VideoFormat::WebM, "out.webm", "vp9 opus"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        VideoFileOptions o;
        o.format = c.format;
        o.crf = 20;
        o.soundFile = dir.file("tone.wav");
        const OutputResult r = generateVideoFile(movingFrames(301, 199, times), dir.file(c.name), o);
        ASSERT_TRUE(r.ok) << r.failure;
        EXPECT_EQ(r.soundDropped, "");
        const Probe p = probe(dir.file(c.name));
        EXPECT_EQ(p.codecs, c.codecs);
        EXPECT_EQ(p.width, 302);
        EXPECT_EQ(p.height, 200);
        ASSERT_EQ(p.times.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(p.times[i], expected[i], 0.0005) << i;
        EXPECT_GT(decodedRed(dir.file(c.name), 302, 20, 30), 200);  // the red block of the first frame
        EXPECT_LT(decodedRed(dir.file(c.name), 302, 20, 150), 100);
    }
}

// The file is never larger than the budget, and not much smaller; the
// report names the bit rate and the quality reached.
TEST(GenerateVideo, SizeBudgetIsKept)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg and ffprobe are not installed";
    TempDir dir;
    const Project project = movingFrames(160, 120, std::vector<int>(30, 100), true);
    const struct {
        VideoFormat format;
        std::int64_t budget;
    } cases[] = {{VideoFormat::Mp4, 40000}, {VideoFormat::Mp4, 120000}, {VideoFormat::WebM, 60000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.budget);
        VideoFileOptions o;
        o.format = c.format;
        o.maxBytes = c.budget;
        o.preset = "veryfast";
        const std::string file = dir.file("fit" + std::to_string(c.budget));
        const OutputResult r = generateVideoFile(project, file, o);
        ASSERT_TRUE(r.ok) << r.failure;
        const auto size = std::int64_t(std::filesystem::file_size(file));
        EXPECT_LE(size, c.budget);
        EXPECT_GE(size, c.budget * 8 / 10);
        ASSERT_TRUE(r.budget);
        EXPECT_EQ(r.budget->bytes, std::uint64_t(size));
        EXPECT_NE(r.budget->setting.find("kb/s"), std::string::npos);
        EXPECT_GT(r.budget->meanPsnr, 15);
        EXPECT_EQ(probe(file).times.size(), 30u);
    }
}

// A budget that even the lowest bit rate cannot meet writes nothing, and an
// existing file stays; so does a frame whose source is gone, and a cancel.
TEST(GenerateVideo, ImpossibleBudgetMissingFrameAndCancelWriteNothing)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg and ffprobe are not installed";
    TempDir dir;
    writeToneWav(dir.file("tone.wav"), 48000, 3000);
    const std::string file = dir.file("old.mp4");
    std::ofstream(file) << "old";
    const Project project = movingFrames(64, 48, std::vector<int>(8, 400), true);
    VideoFileOptions o;
    o.maxBytes = 3000;  // the sound alone is larger
    o.soundFile = dir.file("tone.wav");
    const OutputResult r = generateVideoFile(project, file, o);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.failure.find("does not fit in 3.0 kB"), std::string::npos) << r.failure;
    EXPECT_NE(r.failure.find("smallest file reached"), std::string::npos) << r.failure;
    EXPECT_EQ(std::filesystem::file_size(file), 3u);

    Project gone = project;
    FrameRecord missing = gone.frames[3];
    missing.File = dir.file("missing.png");
    gone.frames.append(missing);
    const OutputResult m = generateVideoFile(gone, file, VideoFileOptions{});
    EXPECT_FALSE(m.ok);
    EXPECT_NE(m.failure.find("missing.png"), std::string::npos) << m.failure;
    EXPECT_EQ(std::filesystem::file_size(file), 3u);

    CancelAfter cancel(3);
    const OutputResult c = generateVideoFile(project, file, VideoFileOptions{}, cancel);
    EXPECT_TRUE(c.cancelled);
    EXPECT_EQ(std::filesystem::file_size(file), 3u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // old.mp4, tone.wav
}
