// Files written with every available codec, read back by ffprobe and ffmpeg:
// frame count and rate, pictures (exact for lossless codecs, above 30 dB PSNR
// for the others), and the sound track bit for bit.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "avi_test_util.h"
#include "engine/avi/avi_writer.h"

// libx264 keeps a few bytes of its parameters when it refuses to open (odd
// sizes); that is its own leak, not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libx264.so\n";
}

namespace pelko {
namespace {

using namespace pelko::test;

double psnr(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b)
{
    double se = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        se += double(int(a[i]) - int(b[i])) * double(int(a[i]) - int(b[i]));
    return se == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * double(a.size()) / se);
}

std::string probe(const std::filesystem::path& p, const char* stream, const char* entries)
{
    std::string out = run("ffprobe -v error -count_packets -select_streams " + std::string(stream) +
                          " -show_entries stream=" + entries + " -of csv=p=0 '" + p.string() + "'");
    while (!out.empty() && (out.back() == '\n' || out.back() == ',')) out.pop_back();
    return out;
}

class AviInterop : public ::testing::TestWithParam<VideoCodecInfo> {};

TEST_P(AviInterop, FfmpegReadsFramesRateAndSound)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg/ffprobe not installed";
    const VideoCodecInfo& codec = GetParam();
    TempDir dir;
    const int width = 96, height = 64, count = 12;
    const WavShape sound = wavShape(2, 22050, 16, 22050 / 2, 3);
    saveFile(dir / "s.wav", makeWav(sound));
    // Sound format passed ahead (written directly) and learnt late (second pass).
    for (bool ahead : {true, false}) {
        SCOPED_TRACE(ahead ? "format ahead" : "format late");
        const auto path = dir / "c.avi";
        WaveFormat format;
        ASSERT_TRUE(ReadWavFormat((dir / "s.wav").string(), format));
        AviWriterPtr w = OpenAviWriter(path.string(), 40, ahead ? &format : nullptr);
        std::vector<std::uint8_t> expected;
        const CompressOptions options{codec.fourcc, -1};
        for (int i = 0; i < count; ++i) {
            const Picture p = testFrame(width, height, i);
            if (i == 0) {
                ASSERT_EQ(ChooseVideoCodec(w.get(), &p, &options, false, nullptr), AVIERR_OK);
            }
            ASSERT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_OK);
            expected.insert(expected.end(), p.data(), p.data() + p.byteSize());
        }
        ASSERT_EQ(WriteWavSound(w.get(), (dir / "s.wav").string()), AVIERR_OK);
        ASSERT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);

        EXPECT_EQ(probe(path, "v:0", "r_frame_rate,nb_read_packets"), "25/1," + std::to_string(count));
        const std::string raw = (dir / "v.raw").string();
        run("ffmpeg -v error -y -i '" + path.string() + "' -map 0:v -fps_mode passthrough -f rawvideo " +
            "-pix_fmt bgr24 '" + raw + "'");
        const std::vector<std::uint8_t> got = loadFile(raw);
        ASSERT_EQ(got.size(), expected.size());
        if (codec.lossless)
            EXPECT_TRUE(got == expected) << "lossless codec changed pixels";
        else
            EXPECT_GT(psnr(got, expected), 30.0);

        const std::string pcm = (dir / "a.raw").string();
        run("ffmpeg -v error -y -i '" + path.string() + "' -map 0:a -c copy -f data '" + pcm + "'");
        EXPECT_TRUE(loadFile(pcm) == wavSamples(sound)) << "sound track differs";
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, AviInterop, ::testing::ValuesIn(availableVideoCodecs()),
                         [](const auto& info) {
                             std::string n;
                             for (char c : info.param.fourcc)
                                 if (std::isalnum(static_cast<unsigned char>(c)))
                                     n += c;
                             return n;
                         });

// Odd sizes: uncompressed frames keep their padded rows, and a codec that
// needs even sizes gets the picture padded by repeating its last column and
// row (the file says the padded size).
TEST(AviInteropOdd, UncompressedOddWidthAndPaddedEvenCodecs)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg/ffprobe not installed";
    TempDir dir;
    const auto path = dir / "odd.avi";
    AviWriterPtr w = OpenAviWriter(path.string(), 100);
    std::vector<std::uint8_t> expected;
    for (int i = 0; i < 3; ++i) {
        const Picture p = testFrame(101, 11, i);
        ASSERT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_OK);
        expected.insert(expected.end(), p.data(), p.data() + p.byteSize());
    }
    ASSERT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);
    EXPECT_EQ(probe(path, "v:0", "r_frame_rate,nb_read_packets"), "10/1,3");
    const std::string raw = (dir / "v.raw").string();
    run("ffmpeg -v error -y -i '" + path.string() + "' -f rawvideo -pix_fmt bgr24 '" + raw + "'");
    EXPECT_TRUE(loadFile(raw) == expected);

    for (const char* fourcc : {"H264", "XVID"}) {
        if (!findVideoCodec(fourcc))
            continue;
        SCOPED_TRACE(fourcc);
        const auto even = dir / "even.avi";
        AviWriterPtr h = OpenAviWriter(even.string(), 40);
        // bright everywhere, with a dark last column and row: a black or cut
        // border would show
        Picture p(301, 199);
        for (int y = 0; y < p.height(); ++y)
            for (int x = 0; x < p.width(); ++x)
                p.setPixel(x, y, x == 300 || y == 198 ? rgb(40, 60, 80) : rgb(220, 200, 180));
        const CompressOptions options{fourcc, 100};
        ASSERT_EQ(ChooseVideoCodec(h.get(), &p, &options, false, nullptr), AVIERR_OK);
        for (int i = 0; i < 3; ++i) ASSERT_EQ(WriteVideoFrame(h.get(), &p), AVIERR_OK);
        ASSERT_EQ(CloseAviWriter(std::move(h)), AVIERR_OK);
        EXPECT_EQ(probe(even, "v:0", "width,height,nb_read_packets"), "302,200,3");
        const std::string decoded = (dir / "even.raw").string();
        EXPECT_EQ(run("ffmpeg -v error -y -i '" + even.string() + "' -f rawvideo -pix_fmt gray '" + decoded +
                      "' 2>&1"),
                  "");
        const std::vector<std::uint8_t> grey = loadFile(decoded);
        ASSERT_EQ(grey.size(), std::size_t(302 * 200 * 3));
        // the padding looks like the last column and row (dark), not like
        // the inside (bright) nor black
        const auto at = [&](int x, int y) { return int(grey[std::size_t(y) * 302 + std::size_t(x)]); };
        for (int y = 20; y < 180; y += 40) EXPECT_NEAR(at(301, y), at(300, y), 12) << "row " << y;
        for (int x = 20; x < 280; x += 40) EXPECT_NEAR(at(x, 199), at(x, 198), 12) << "column " << x;
        EXPECT_GT(at(301, 100), 30);
        EXPECT_LT(at(301, 100), 120);
    }
}

// The key-frame interval reaches the codecs whose frames depend on earlier
// ones; the others keep every frame a key frame.
TEST(AviInteropKeyFrames, IntervalOfPredictingCodecs)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg/ffprobe not installed";
    TempDir dir;
    for (const VideoCodecInfo& codec : availableVideoCodecs()) {
        if (codec.fourcc == "H264")
            continue;  // x264 places key frames at scene cuts as well
        SCOPED_TRACE(codec.fourcc);
        const auto path = dir / "k.avi";
        AviWriterPtr w = OpenAviWriter(path.string(), 40);
        const CompressOptions options{codec.fourcc, -1, 4};
        for (int i = 0; i < 12; ++i) {
            const Picture p = testFrame(64, 48, i);
            if (i == 0) {
                ASSERT_EQ(ChooseVideoCodec(w.get(), &p, &options, false, nullptr), AVIERR_OK);
            }
            ASSERT_EQ(WriteVideoFrame(w.get(), &p), AVIERR_OK);
        }
        ASSERT_EQ(CloseAviWriter(std::move(w)), AVIERR_OK);
        const std::string flags =
            run("ffprobe -v error -select_streams v:0 -show_entries packet=flags -of csv=p=0 '" +
                path.string() + "'");
        int keys = 0;
        for (std::size_t at = flags.find('K'); at != std::string::npos; at = flags.find('K', at + 1)) ++keys;
        EXPECT_EQ(keys, codec.hasKeyFrames ? 3 : 12) << flags;
    }
}

}  // namespace
}  // namespace pelko
