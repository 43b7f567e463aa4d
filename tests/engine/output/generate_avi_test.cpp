#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine/output/generate_avi.h"
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

Project placedFrames()
{
    Project p;
    p.settings.Width = 8;
    p.settings.Height = 6;
    p.settings.AviFrameTime = 40;
    FrameRecord inside;  // smaller than the canvas: white around it
    inside.Left = 2;
    inside.Top = 1;
    inside.image = Picture(3, 2);
    inside.image.fill(0x0000FF);
    p.frames.append(std::move(inside));
    FrameRecord past;  // partly outside: cut at the edges
    past.Left = 6;
    past.Top = 4;
    past.image = Picture(5, 5);
    past.image.fill(0x00FF00);
    p.frames.append(std::move(past));
    return p;
}

}  // namespace

TEST(GenerateAvi, WhiteCanvasClippingAndFrameRate)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    TempDir dir;
    std::vector<std::string> messages;
    AviGenerateOptions o;
    o.showCodecWindow = false;
    EXPECT_EQ(AviResultText(GenerateAvi(placedFrames(), dir.file("out.avi"), o, messages)), "Success");
    EXPECT_TRUE(messages.empty());
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

TEST(GenerateAvi, MissingSoundIsReportedAndTheVideoStays)
{
    TempDir dir;
    Project p = placedFrames();
    p.settings.Sound = true;
    p.settings.Wav_File = dir.file("gone.wav");
    std::vector<std::string> messages;
    AviGenerateOptions o;
    o.showCodecWindow = false;
    EXPECT_EQ(AviResultText(GenerateAvi(p, dir.file("out.avi"), o, messages)), "Success");
    EXPECT_EQ(messages,
              (std::vector<std::string>{"Not found the following sound file: " + dir.file("gone.wav")}));
    EXPECT_TRUE(std::filesystem::exists(dir.file("out.avi")));
}

TEST(GenerateAvi, AFolderInTheWayAsksForAnotherName)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("taken.avi"));
    std::vector<std::string> messages;
    AviGenerateOptions o;
    o.showCodecWindow = false;
    EXPECT_EQ(GenerateAvi(placedFrames(), dir.file("taken.avi"), o, messages), AVIERR_ERROR);
    EXPECT_EQ(messages, (std::vector<std::string>{"Select another name for saving file."}));
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
    std::vector<std::string> messages;
    EXPECT_EQ(GenerateAviWithRetry(placedFrames(), dir.file("out.avi"), o, messages, 5), AVIERR_USERABORT);
    EXPECT_EQ(chooser.calls, 2);
    EXPECT_EQ(messages,
              (std::vector<std::string>{"A suitable compressor could not be found.", "AVIERR_USERABORT"}));

    // an error that ends generation is not tried again
    std::filesystem::create_directory(dir.file("taken.avi"));
    messages.clear();
    EXPECT_EQ(GenerateAviWithRetry(placedFrames(), dir.file("taken.avi"), o, messages, 5), AVIERR_ERROR);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(chooser.calls, 2);
}
