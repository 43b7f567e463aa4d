// The animated GIF's smaller-file mode through the builders: the streamed
// writer gives the bytes of the whole-image build whatever the thread count,
// a frame that fails does not hold up the frames after it, and the file is
// smaller at no great loss.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "engine/gif/bitmap_frame.h"
#include "engine/output/build_animated_gif.h"
#include "engine/output/write_animated_gif.h"
#include "support/given_pictures.h"
#include "support/temp_dir.h"

using namespace pelko;
using namespace pelko::test;

namespace {

// A soft picture drifting right a pixel a frame over a still part with fine
// detail: many colours, most pixels the same from frame to frame.
Project drifting(int frames, int w = 64, int h = 48)
{
    Project p;
    p.settings.Type = ProjectGif;
    p.settings.Width = w;
    p.settings.Height = h;
    for (int i = 0; i < frames; ++i) {
        FrameRecord f;
        f.Width = w;
        f.Height = h;
        f.Time = 40;
        Picture& pic = givePicture(f, Picture(w, h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool still = y >= h / 2;
                const int u = still ? x : x + i;
                const double v = std::sin(u * 0.21) * 60 + std::cos(y * 0.17) * 50;
                pic.setPixel(
                    x, y,
                    still ? rgb(std::uint8_t((x * 37 + y * 11) & 0xFF), std::uint8_t(x * 3 + y), 90)
                          : rgb(std::uint8_t(128 + v), std::uint8_t(u * 2 + y), std::uint8_t(200 - y * 2)));
            }
        p.frames.append(f);
    }
    return p;
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string wholeImage(const Project& p, const AnimatedGifOptions& o)
{
    const std::vector<std::uint8_t> b = BuildAnimatedGif(p, o)->SaveToBytes();
    return std::string(b.begin(), b.end());
}

}  // namespace

TEST(SmallerGif, StreamedAndWholeImageBytesAreTheSameOnAnyThreadCount)
{
    TempDir dir;
    Project p = drifting(7);
    // a frame of another colour reduction and a transparent one: left alone
    p.frames[2].Gif.ColorReduction = rmNetscape;
    p.frames[4].Gif.GIFTransparent = true;
    p.frames[4].Gif.TransparentColor = pictureOf(p.frames[4]).pixel(0, 0);
    p.frames[5].Gif.ColorDither = dmFloydSteinberg;
    pinGivenPictures(p);
    for (int variant = 0; variant < 4; ++variant) {
        AnimatedGifOptions o;
        o.bestPalette = true;
        o.lossy = variant & 1 ? 70 : 0;
        o.mergeSimilarities = variant & 2;
        o.crop = variant & 2;
        o.jobs = 1;
        const std::string expected = wholeImage(p, o);
        for (int jobs : {1, 2, 3}) {
            o.jobs = jobs;
            EXPECT_EQ(wholeImage(p, o), expected) << "variant " << variant << ", " << jobs << " threads";
            ASSERT_TRUE(WriteAnimatedGif(p, o, dir.file("out.gif")));
            EXPECT_EQ(fileText(dir.file("out.gif")), expected)
                << "variant " << variant << ", " << jobs << " threads";
        }
    }
}

TEST(SmallerGif, AFrameThatFailsDoesNotHoldUpTheOthers)
{
    TempDir dir;
    Project p = drifting(6);
    pinGivenPictures(p);
    FrameRecord gone;
    gone.File = dir.file("missing.png");
    gone.Width = 64;
    gone.Height = 48;
    p.frames.insert(2, gone);
    for (int jobs : {1, 2, 3}) {
        AnimatedGifOptions o;
        o.bestPalette = true;
        o.jobs = jobs;
        EXPECT_THROW(WriteAnimatedGif(p, o, dir.file("out.gif")), std::exception) << jobs;
        EXPECT_THROW(BuildAnimatedGif(p, o), std::exception) << jobs;
    }
}

// Against the octree with the same settings: a smaller file that is closer
// to the pictures, and the pixels that did not change are not written again.
TEST(SmallerGif, SmallerAndCloserThanTheOctree)
{
    Project p = drifting(8, 96, 64);
    pinGivenPictures(p);
    auto error = [&](TGIFImage& image) {
        double sum = 0;
        for (int i = 0; i < image.Images().GetCount(); ++i) {
            const Bitmap shown = GetBitmap(*image.Images().GetImage(i));
            const Picture& want = pictureOf(p.frames[std::size_t(i)]);
            for (int y = 0; y < want.height(); ++y)
                for (int x = 0; x < want.width(); ++x) {
                    const Color a = shown.color(x, y), b = want.pixel(x, y);
                    const int dr = redOf(a) - redOf(b), dg = greenOf(a) - greenOf(b),
                              db = blueOf(a) - blueOf(b);
                    sum += dr * dr + dg * dg + db * db;
                }
        }
        return sum;
    };
    AnimatedGifOptions octree;
    octree.jobs = 2;
    AnimatedGifOptions best = octree;
    best.bestPalette = true;
    auto a = BuildAnimatedGif(p, octree);
    auto b = BuildAnimatedGif(p, best);
    EXPECT_LT(error(*b), error(*a));
    best.lossy = 40;
    best.mergeSimilarities = true;
    octree.mergeSimilarities = true;
    EXPECT_LT(BuildAnimatedGif(p, best)->SaveToBytes().size(),
              BuildAnimatedGif(p, octree)->SaveToBytes().size());
}
