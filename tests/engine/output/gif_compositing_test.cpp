#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "engine/output/write_animated_gif.h"
#include "support/given_pictures.h"
#include "support/picture_files.h"

using namespace pelko;
using namespace pelko::test;

namespace {

// The frames ffmpeg composes from a GIF, as raw RGB of the whole screen.
std::vector<std::uint8_t> ffmpegFrames(const std::string& gif, const std::string& raw)
{
    // passthrough: one output picture per GIF frame, whatever the delays
    const std::string cmd =
        "ffmpeg -v error -y -i '" + gif + "' -vsync passthrough -f rawvideo -pix_fmt rgb24 '" + raw + "'";
    if (std::system(cmd.c_str()) != 0)
        return {};
    std::ifstream in(raw, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

FrameRecord solid(int left, int top, int w, int h, Color c, std::uint16_t time)
{
    FrameRecord f;
    f.Left = left;
    f.Top = top;
    f.Width = w;
    f.Height = h;
    f.Time = time;
    givePicture(f, Picture(w, h)).fill(c);
    return f;
}

}  // namespace

// A full red frame, then a small frame whose white pixels are transparent, on
// top of it: ffmpeg must show red through the holes, with every option set.
TEST(GifCompositing, TransparentOverlayThroughEveryOption)
{
    if (std::system("ffmpeg -version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    Project p;
    p.settings.Width = 12;
    p.settings.Height = 8;
    p.frames.append(solid(0, 0, 12, 8, 0x0000FF, 100));
    FrameRecord top = solid(4, 2, 4, 4, 0xFFFFFF, 100);
    pictureOf(top).setPixel(1, 1, 0x00FF00);
    pictureOf(top).setPixel(2, 2, 0x000000);
    top.Gif.GIFTransparent = true;
    top.Gif.TransparentColor = 0xFFFFFF;
    top.Gif.DisposalMethod = 1;
    p.frames.append(std::move(top));

    struct Case {
        bool maps, crop, interlaced, merge;
    } cases[] = {{false, false, false, false},
                 {true, false, false, false},
                 {true, true, true, true},
                 {false, true, false, true}};
    TempDir dir;
    for (const Case& c : cases) {
        AnimatedGifOptions o;
        o.mergeColorMaps = c.maps;
        o.crop = c.crop;
        o.interlaced = c.interlaced;
        o.mergeSimilarities = c.merge;
        ASSERT_TRUE(WriteAnimatedGif(pinGivenPictures(p), o, dir.file("a.gif")));
        const std::vector<std::uint8_t> rgbData = ffmpegFrames(dir.file("a.gif"), dir.file("a.rgb"));
        ASSERT_GE(rgbData.size(), std::size_t(2 * 12 * 8 * 3)) << c.maps << c.crop << c.interlaced << c.merge;
        auto at = [&](int frame, int x, int y) {
            const std::uint8_t* q = &rgbData[std::size_t(((frame * 8 + y) * 12 + x) * 3)];
            return rgb(q[0], q[1], q[2]);
        };
        const std::string what = "options " + std::to_string(c.maps) + std::to_string(c.crop) +
                                 std::to_string(c.interlaced) + std::to_string(c.merge);
        EXPECT_EQ(at(0, 0, 0), 0x0000FFu) << what;
        EXPECT_EQ(at(1, 0, 0), 0x0000FFu) << what;
        EXPECT_EQ(at(1, 4, 2), 0x0000FFu) << what;  // white was the hole
        EXPECT_EQ(at(1, 5, 3), 0x00FF00u) << what;
        EXPECT_EQ(at(1, 6, 4), 0x000000u) << what;  // real black stays
        EXPECT_EQ(at(1, 11, 7), 0x0000FFu) << what;
    }
}
