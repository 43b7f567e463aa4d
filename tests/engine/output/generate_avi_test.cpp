#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine/output/generate_avi.h"
#include "support/given_pictures.h"
#include "support/picture_files.h"

using namespace pelko;
using namespace pelko::test;

namespace {

bool haveFfmpeg()
{
    return std::system("ffmpeg -version >/dev/null 2>&1") == 0;
}

// The frames of an AVI as ffmpeg decodes them, as raw RGB.
std::vector<std::uint8_t> decodeRgb(const std::string& avi, const std::string& raw)
{
    const std::string cmd = "ffmpeg -v error -y -i '" + avi + "' -f rawvideo -pix_fmt rgb24 '" + raw + "'";
    if (std::system(cmd.c_str()) != 0)
        return {};
    std::ifstream in(raw, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A 16-bit WAV of 8000 samples a second with the given fields.
std::vector<std::uint8_t> smallWav(int formatTag, int channels, std::uint32_t dataBytes)
{
    std::vector<std::uint8_t> v;
    const auto le = [&v](std::uint32_t x, int n) {
        for (int i = 0; i < n; ++i) v.push_back(std::uint8_t(x >> (8 * i)));
    };
    const auto tag = [&v](const char* t) { v.insert(v.end(), t, t + 4); };
    tag("RIFF");
    le(36 + dataBytes, 4);
    tag("WAVE");
    tag("fmt ");
    le(16, 4);
    le(std::uint32_t(formatTag), 2);
    le(std::uint32_t(channels), 2);
    le(8000, 4);
    le(8000 * 2 * std::uint32_t(channels), 4);
    le(2 * std::uint32_t(channels), 2);
    le(16, 2);
    tag("data");
    le(dataBytes, 4);
    v.resize(v.size() + dataBytes, 0x40);
    return v;
}

void saveBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Project placedFrames()
{
    Project p;
    p.settings.Width = 8;
    p.settings.Height = 6;
    p.settings.AviFrameTime = 40;
    FrameRecord inside;  // smaller than the canvas: white around it
    inside.Left = 2;
    inside.Top = 1;
    givePicture(inside, Picture(3, 2)).fill(0x0000FF);
    p.frames.append(std::move(inside));
    FrameRecord past;  // partly outside: cut at the edges
    past.Left = 6;
    past.Top = 4;
    givePicture(past, Picture(5, 5)).fill(0x00FF00);
    p.frames.append(std::move(past));
    return withGivenPictures(std::move(p));
}

}  // namespace

TEST(GenerateAvi, WhiteCanvasClippingAndFrameRate)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    TempDir dir;
    AviGenerateOptions o;
    o.showCodecWindow = false;
    const OutputResult result = generateAviFile(placedFrames(), dir.file("out.avi"), o);
    EXPECT_TRUE(result.ok);
    EXPECT_FALSE(result.cancelled);
    EXPECT_TRUE(result.messages.empty());
    EXPECT_EQ(result.failure, "");
    const std::vector<std::uint8_t> rgbData = decodeRgb(dir.file("out.avi"), dir.file("out.rgb"));
    ASSERT_EQ(rgbData.size(), std::size_t(2 * 8 * 6 * 3));
    auto at = [&](int frame, int x, int y) {
        const std::uint8_t* p = &rgbData[std::size_t(((frame * 6 + y) * 8 + x) * 3)];
        return rgb(p[0], p[1], p[2]);
    };
    EXPECT_EQ(at(0, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(at(0, 2, 1), 0x0000FFu);
    EXPECT_EQ(at(0, 4, 2), 0x0000FFu);
    EXPECT_EQ(at(0, 5, 2), 0xFFFFFFu);
    EXPECT_EQ(at(1, 5, 3), 0xFFFFFFu);
    EXPECT_EQ(at(1, 7, 5), 0x00FF00u);
    const std::string probe = "ffprobe -v error -show_entries stream=r_frame_rate -of csv=p=0 '" +
                              dir.file("out.avi") + "' > '" + dir.file("rate.txt") + "'";
    ASSERT_EQ(std::system(probe.c_str()), 0);
    std::ifstream rate(dir.file("rate.txt"));
    std::string r;
    rate >> r;
    EXPECT_EQ(r, "25/1");  // 40 ms a frame
}

// An odd canvas with H.264 (which takes even sizes only): the AVI holds the
// canvas padded by one column and row, with no codec failure.
TEST(GenerateAvi, OddCanvasWithH264IsPadded)
{
    if (!haveFfmpeg() || !findVideoCodec("H264"))
        GTEST_SKIP() << "ffmpeg or its H.264 encoder is not installed";
    TempDir dir;
    Project p = placedFrames();
    p.settings.Width = 301;
    p.settings.Height = 199;
    AviGenerateOptions o;
    o.showCodecWindow = false;
    o.compress = {"H264", 50};
    const OutputResult result = generateAviFile(p, dir.file("odd.avi"), o);
    EXPECT_TRUE(result.ok) << result.failure;
    EXPECT_TRUE(result.messages.empty());
    const std::string probe =
        "ffprobe -v error -count_frames -show_entries stream=width,height,nb_read_frames "
        "-of csv=p=0 '" +
        dir.file("odd.avi") + "' > '" + dir.file("size.txt") + "'";
    ASSERT_EQ(std::system(probe.c_str()), 0);
    std::ifstream size(dir.file("size.txt"));
    std::string s;
    size >> s;
    EXPECT_EQ(s, "302,200,2");
}

// A sound that cannot be used is found before the first frame: the AVI is
// written without it, and the report says which file and why.
TEST(GenerateAvi, UnusableSoundIsLeftOutWithItsReason)
{
    TempDir dir;
    saveBytes(dir.file("zero.wav"), smallWav(1, 0, 20));
    saveBytes(dir.file("float.wav"), smallWav(3, 1, 20));
    saveBytes(dir.file("empty.wav"), smallWav(1, 1, 0));
    std::filesystem::create_directory(dir / "folder.wav");
    const std::string fixed = "Corrupt file or unrecognized format. Try select another codec.";
    struct Case {
        std::string wav, dropped, message;
    } cases[] = {
        {dir.file("gone.wav"), dir.file("gone.wav") + ": No such file or directory",
         "Not found the following sound file: " + dir.file("gone.wav")},
        {dir.file("folder.wav"), dir.file("folder.wav") + ": Is a directory", ""},
        {dir.file("zero.wav"), dir.file("zero.wav") + ": the format has 0 channels", ""},
        {dir.file("float.wav"), dir.file("float.wav") + ": format tag 3 is not linear PCM", ""},
        {dir.file("empty.wav"), dir.file("empty.wav") + ": no sound samples in the 'data' chunk", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wav);
        Project p = placedFrames();
        p.settings.Sound = true;
        p.settings.Wav_File = c.wav;
        AviGenerateOptions o;
        o.showCodecWindow = false;
        const OutputResult result = generateAviFile(p, dir.file("out.avi"), o);
        EXPECT_TRUE(result.ok);
        EXPECT_EQ(result.soundDropped, c.dropped);
        EXPECT_EQ(result.messages,
                  std::vector<std::string>{c.message.empty() ? fixed + "\n" + c.dropped : c.message});
        EXPECT_TRUE(std::filesystem::exists(dir.file("out.avi")));
    }
}

TEST(GenerateAvi, AFolderInTheWayAsksForAnotherName)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("taken.avi"));
    AviGenerateOptions o;
    o.showCodecWindow = false;
    const OutputResult result = generateAviFile(placedFrames(), dir.file("taken.avi"), o);
    EXPECT_FALSE(result.ok || result.cancelled || result.canRetry);
    EXPECT_EQ(result.failure, dir.file("taken.avi") + ": Is a directory");
    EXPECT_EQ(result.messages,
              (std::vector<std::string>{"Select another name for saving file.\n" + result.failure}));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"taken.avi"});
}

TEST(GenerateAvi, RetryGoesOnAfterACodecFailureOnlyUntilCancelOrError)
{
    // The first choice names a codec that does not exist, the second cancels.
    struct Chooser : VideoCodecChooser {
        int calls = 0;
        bool chooseVideoCodec(const std::vector<VideoCodecInfo>&, CompressOptions& options) override
        {
            options.fourcc = "NOPE";
            return ++calls == 1;
        }
    } chooser;
    TempDir dir;
    AviGenerateOptions o;
    o.chooser = &chooser;
    OutputResult result = generateAviFileWithRetry(placedFrames(), dir.file("out.avi"), o, 5);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.canRetry);
    EXPECT_EQ(chooser.calls, 2);
    EXPECT_EQ(result.messages,
              (std::vector<std::string>{"A suitable compressor could not be found.", "AVIERR_USERABORT"}));
    EXPECT_EQ(dir.names(), std::vector<std::string>{}) << "no file, no temporary";

    // an error that ends generation is not tried again
    std::filesystem::create_directory(dir.file("taken.avi"));
    result = generateAviFileWithRetry(placedFrames(), dir.file("taken.avi"), o, 5);
    EXPECT_FALSE(result.ok || result.cancelled);
    EXPECT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(chooser.calls, 2);
}

TEST(GenerateAvi, CountsFramesAndStopsAtTheFrameOfCancel)
{
    struct Sink : ProgressSink {
        std::vector<std::pair<int, int>> counted;
        int cancelAfter = 0;  // 0: never
        void frames(int done, int total) override { counted.emplace_back(done, total); }
        bool cancelled() const override { return cancelAfter > 0 && int(counted.size()) >= cancelAfter; }
    };
    TempDir dir;
    AviGenerateOptions o;
    o.showCodecWindow = false;
    Sink all;
    EXPECT_TRUE(generateAviFile(placedFrames(), dir.file("all.avi"), o, all).ok);
    EXPECT_EQ(all.counted, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));

    Sink first;
    first.cancelAfter = 1;
    const OutputResult cut = generateAviFile(placedFrames(), dir.file("cut.avi"), o, first);
    EXPECT_TRUE(cut.cancelled);
    EXPECT_TRUE(cut.messages.empty());
    EXPECT_EQ(cut.failure, dir.file("cut.avi") + ": cancelled");
    EXPECT_EQ(first.counted.size(), 1u);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"all.avi"}) << "no file, no temporary";
}
