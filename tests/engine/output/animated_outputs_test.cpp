// The animated WebP and PNG read back by other programs (webpmux, ffprobe,
// ffmpeg's APNG decoder) with their frames, times, pixels and transparency,
// and the outputs written under a size budget.

#include <gtest/gtest.h>
#include <webp/demux.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "engine/output/animated_png.h"
#include "engine/output/animated_webp.h"
#include "engine/output/animation_canvas.h"
#include "engine/output/output_psnr.h"
#include "engine/output/size_budget.h"
#include "engine/output/write_animated_gif.h"
#include "support/given_pictures.h"
#include "support/temp_dir.h"

using namespace pelko;
using namespace pelko::test;

namespace {

constexpr int kWidth = 48, kHeight = 32;
const std::uint16_t kTimes[] = {40, 70, 130, 20, 1000, 55};
constexpr Color kKey = 0x00FF00;  // the transparent colour of the fixture's transparent frames

std::vector<std::uint8_t> bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string output(const std::string& command)
{
    std::string text;
    if (FILE* p = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) text.append(buffer, n);
        ::pclose(p);
    }
    return text;
}

bool have(const char* tool)
{
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Frames with a moving square over a gradient, each with its own time; with
// transparent, the second frame is a smaller picture placed inside the
// canvas with a hole of the transparent colour, the fourth is cleared to
// the background after it is shown and the fifth is a small picture over
// that.
Project animation(bool transparent, int frames = 6, int width = kWidth, int height = kHeight,
                  bool noisy = false)
{
    Project p;
    p.settings.Type = ProjectGif;
    p.settings.Width = width;
    p.settings.Height = height;
    unsigned seed = 7;
    for (int i = 0; i < frames; ++i) {
        FrameRecord f;
        f.Width = width;
        f.Height = height;
        f.Time = kTimes[i % std::size(kTimes)];
        Picture picture(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint8_t noise = 0;
                if (noisy) {
                    seed = seed * 1103515245 + 12345;
                    noise = std::uint8_t((seed >> 16) & 63);
                }
                picture.setPixel(
                    x, y,
                    rgb(std::uint8_t(x * 5 + noise), std::uint8_t(y * 7 + noise), std::uint8_t(100 + i)));
            }
        for (int y = 4; y < 12; ++y)
            for (int x = 4 + i * 3; x < 12 + i * 3 && x < width; ++x)
                picture.setPixel(x, y, rgb(200, 30, 30));
        if (transparent && i == 1) {
            f.Left = 8;
            f.Top = 6;
            f.Width = 20;
            f.Height = 14;
            picture = Picture(20, 14);
            picture.fill(rgb(10, 10, 200));
            for (int y = 3; y < 9; ++y)
                for (int x = 3; x < 12; ++x) picture.setPixel(x, y, kKey);
            f.Gif.GIFTransparent = true;
            f.Gif.TransparentColor = kKey;
        }
        if (transparent && i == 3)
            f.Gif.DisposalMethod = 2;  // to the background
        if (transparent && i == 4) {   // a small frame over the cleared canvas
            f.Left = 30;
            f.Top = 20;
            f.Width = 10;
            f.Height = 8;
            picture = Picture(10, 8);
            picture.fill(rgb(250, 250, 0));
        }
        givePicture(f, std::move(picture));
        p.frames.append(std::move(f));
    }
    return withGivenPictures(std::move(p));
}

std::vector<std::vector<std::uint8_t>> canvasesOf(const Project& p)
{
    std::vector<std::vector<std::uint8_t>> canvases;
    composeFrames(p, 1, noProgress(), [&](int, const AnimationCanvas& c) {
        canvases.emplace_back(c.rgba(), c.rgba() + std::size_t(c.width()) * c.height() * 4);
        return true;
    });
    return canvases;
}

// The durations webpmux lists, in milliseconds.
std::vector<int> webpmuxDurations(const std::string& path)
{
    std::istringstream lines(output("webpmux -info '" + path + "'"));
    std::vector<int> durations;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string number;
        fields >> number;
        if (number.empty() || number.back() != ':' || !std::isdigit(static_cast<unsigned char>(number[0])))
            continue;
        std::string w, h, alpha, x, y, duration;
        fields >> w >> h >> alpha >> x >> y >> duration;
        durations.push_back(std::stoi(duration));
    }
    return durations;
}

std::vector<int> ffprobeDurations(const std::string& path)
{
    std::istringstream lines(output(
        "ffprobe -v error -select_streams v -show_entries packet=duration_time -of csv=p=0 '" + path + "'"));
    std::vector<int> durations;
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            durations.push_back(int(std::lround(std::stod(line) * 1000)));
    return durations;
}

std::vector<int> timesOf(const Project& p)
{
    std::vector<int> times;
    for (const FrameRecord& f : p.frames) times.push_back(f.Time);
    return times;
}

}  // namespace

// Every frame comes back with its own time, and the animated PNG, which
// keeps every pixel, shows exactly the pictures the frames show, with the
// transparent pixels and the frame cleared to the background.
TEST(AnimatedOutputs, ReadBackByOtherProgramsWithFramesTimesAndPixels)
{
    if (!have("webpmux") || !have("ffprobe") || !have("ffmpeg"))
        GTEST_SKIP() << "webpmux (package webp) or ffmpeg missing";
    TempDir dir;
    for (const bool transparent : {false, true}) {
        SCOPED_TRACE(transparent ? "transparent" : "opaque");
        const Project p = animation(transparent);
        const std::string webp = dir.file("a.webp"), apng = dir.file("a.apng");
        WebpOptions lossless;
        lossless.lossless = true;
        ASSERT_TRUE(generateWebpFile(p, lossless, webp).ok);
        ASSERT_TRUE(generateApngFile(p, ApngOptions{}, apng).ok);
        EXPECT_EQ(webpmuxDurations(webp), timesOf(p));
        EXPECT_EQ(ffprobeDurations(apng), timesOf(p));

        const auto expected = canvasesOf(p);
        std::system(("ffmpeg -v error -y -i '" + apng +
                     "' -fps_mode passthrough -f rawvideo -pix_fmt rgba '" + dir.file("a.rgba") + "'")
                        .c_str());
        const std::vector<std::uint8_t> frames = bytesOf(dir.file("a.rgba"));
        const std::size_t frameBytes = std::size_t(kWidth) * kHeight * 4;
        ASSERT_EQ(frames.size(), frameBytes * expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            std::vector<std::uint8_t> got(frames.begin() + std::ptrdiff_t(i * frameBytes),
                                          frames.begin() + std::ptrdiff_t((i + 1) * frameBytes));
            if (!transparent)  // without an alpha channel ffmpeg gives it as opaque
                for (std::size_t k = 3; k < got.size(); k += 4) EXPECT_EQ(got[k], 255);
            EXPECT_TRUE(got == expected[i]) << "frame " << i;
        }
        // the lossless WebP shows the same pictures
        EXPECT_EQ(meanWebpPsnr(p, bytesOf(webp)), 100.0);
    }
}

// The lossy WebP keeps what is transparent transparent, and what shows
// through a hole opaque.
TEST(AnimatedOutputs, LossyWebpKeepsTransparency)
{
    const Project p = animation(true);
    const auto bytes = buildAnimatedWebp(p, WebpOptions{});
    ASSERT_TRUE(bytes);
    WebPAnimDecoderOptions options;
    ASSERT_TRUE(WebPAnimDecoderOptionsInit(&options));
    options.color_mode = MODE_RGBA;
    const WebPData data{bytes->data(), bytes->size()};
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    ASSERT_NE(decoder, nullptr);
    std::uint8_t* pixels = nullptr;
    int timestamp = 0;
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(WebPAnimDecoderGetNext(decoder, &pixels, &timestamp));
    const auto alphaAt = [&](int x, int y) {
        return pixels[(std::size_t(y) * kWidth + std::size_t(x)) * 4 + 3];
    };
    EXPECT_EQ(alphaAt(0, 0), 255);
    EXPECT_EQ(alphaAt(8 + 3, 6 + 3), 255) << "the first frame shows through the hole";
    for (int i = 2; i < 5; ++i) ASSERT_TRUE(WebPAnimDecoderGetNext(decoder, &pixels, &timestamp));
    EXPECT_EQ(alphaAt(0, 0), 0) << "the canvas cleared after the fourth frame";
    EXPECT_EQ(alphaAt(31, 21), 255) << "the fifth frame";
    WebPAnimDecoderDelete(decoder);
    EXPECT_GT(meanWebpPsnr(p, *bytes), 30.0);
}

// Under a budget the file is never larger than the budget and the report
// tells the size, the setting and the mean PSNR; a budget nothing reaches
// writes nothing and names the smallest size reached.
TEST(AnimatedOutputs, BudgetIsNeverExceeded)
{
    TempDir dir;
    const Project p = animation(false, 6, 64, 48, true);
    const auto gifAlone = buildAnimatedGifBytes(p, AnimatedGifOptions{});
    const auto webpAlone = buildAnimatedWebp(p, WebpOptions{});
    ASSERT_TRUE(gifAlone && webpAlone);
    struct Case {
        const char* name;
        std::int64_t budget;
    };
    const Case cases[] = {
        {"a.gif", std::int64_t(gifAlone->size() * 7 / 10)},
        {"b.gif", std::int64_t(gifAlone->size() * 2)},
        {"c.webp", std::int64_t(webpAlone->size() / 2)},
        {"d.webp", std::int64_t(webpAlone->size() * 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(c.name);
        const bool gif = std::string(c.name).ends_with(".gif");
        const OutputResult r = gif ? generateGifUnderBudget(p, AnimatedGifOptions{}, c.budget, path)
                                   : generateWebpUnderBudget(p, WebpOptions{}, c.budget, path);
        ASSERT_TRUE(r.ok) << r.failure;
        ASSERT_TRUE(r.budget);
        const auto size = std::int64_t(std::filesystem::file_size(path));
        EXPECT_LE(size, c.budget);
        EXPECT_EQ(std::uint64_t(size), r.budget->bytes);
        EXPECT_FALSE(r.budget->setting.empty());
        EXPECT_GT(r.budget->meanPsnr, 15.0);
        EXPECT_LE(r.budget->tries, 12);
    }

    for (const char* name : {"e.gif", "e.webp"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.file(name);
        const OutputResult r = std::string(name).ends_with(".gif")
                                   ? generateGifUnderBudget(p, AnimatedGifOptions{}, 100, path)
                                   : generateWebpUnderBudget(p, WebpOptions{}, 100, path);
        EXPECT_FALSE(r.ok || r.cancelled);
        EXPECT_EQ(r.failure.rfind(path + ": does not fit in 100 bytes: the smallest file reached is ", 0), 0u)
            << r.failure;
        EXPECT_NE(r.failure.find("nothing written"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}
