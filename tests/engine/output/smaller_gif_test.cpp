// The animated GIF's smaller-file mode: the streamed writer gives the bytes
// of the reference build whatever the thread count,
// a frame that fails does not hold up the frames after it, and the file is
// smaller at no great loss.

#include <gtest/gtest.h>

#ifdef PELKO_HAVE_GIFLIB
#include <gif_lib.h>
#endif

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/colour/bitmap_frame.h"
#include "engine/output/write_animated_gif.h"
#include "support/given_pictures.h"
#include "support/reference_gif.h"
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

std::string inMemory(const Project& p, const AnimatedGifOptions& o)
{
    const std::optional<std::vector<std::uint8_t>> b = buildAnimatedGifBytes(p, o);
    return b ? std::string(b->begin(), b->end()) : "cancelled";
}

}  // namespace

TEST(SmallerGif, StreamedAndReferenceBytesAreTheSameOnAnyThreadCount)
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
        const std::string expected = referenceGif(p, o);
        for (int jobs : {1, 2, 3}) {
            o.jobs = jobs;
            EXPECT_EQ(inMemory(p, o), expected) << "variant " << variant << ", " << jobs << " threads";
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
        EXPECT_THROW(buildAnimatedGifBytes(p, o), std::exception) << jobs;
    }
}

#ifdef PELKO_HAVE_GIFLIB
// The animation as giflib reads it, each frame composed over what the ones
// before left (a frame disposed to the background leaves black): one
// picture per frame, or none when giflib refuses the file.
std::vector<std::vector<Color>> shownByGiflib(const std::string& path, int& width)
{
    std::vector<std::vector<Color>> shown;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif)
        return shown;
    if (DGifSlurp(gif) == GIF_OK) {
        width = gif->SWidth;
        std::vector<Color> screen(std::size_t(gif->SWidth) * std::size_t(gif->SHeight), 0);
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& s = gif->SavedImages[i];
            GraphicsControlBlock gcb{};
            gcb.TransparentColor = NO_TRANSPARENT_COLOR;
            DGifSavedExtensionToGCB(gif, i, &gcb);
            const ColorMapObject* map = s.ImageDesc.ColorMap ? s.ImageDesc.ColorMap : gif->SColorMap;
            for (int y = 0; y < s.ImageDesc.Height; ++y)
                for (int x = 0; x < s.ImageDesc.Width; ++x) {
                    const int index = s.RasterBits[y * s.ImageDesc.Width + x];
                    if (index == gcb.TransparentColor)
                        continue;
                    const GifColorType c = map->Colors[index];
                    screen[std::size_t(s.ImageDesc.Top + y) * std::size_t(gif->SWidth) +
                           std::size_t(s.ImageDesc.Left + x)] = rgb(c.Red, c.Green, c.Blue);
                }
            shown.push_back(screen);
            if (gcb.DisposalMode == DISPOSE_BACKGROUND)
                for (int y = 0; y < s.ImageDesc.Height; ++y)
                    std::fill_n(screen.begin() +
                                    std::ptrdiff_t((s.ImageDesc.Top + y) * gif->SWidth + s.ImageDesc.Left),
                                s.ImageDesc.Width, Color(0));
        }
    }
    DGifCloseFile(gif, &error);
    return shown;
}
#endif

// Sum over the frames (or frame `only`) of the squared RGB error of what is
// shown.
double shownError(const Project& p, const std::vector<std::vector<Color>>& shown, int width, int only = -1)
{
    double sum = 0;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (only >= 0 && i != std::size_t(only))
            continue;
        const Picture& want = pictureOf(p.frames[i]);
        for (int y = 0; y < want.height(); ++y)
            for (int x = 0; x < want.width(); ++x) {
                const Color a = shown[i][std::size_t(y) * std::size_t(width) + std::size_t(x)],
                            b = want.pixel(x, y);
                const int dr = redOf(a) - redOf(b), dg = greenOf(a) - greenOf(b), db = blueOf(a) - blueOf(b);
                sum += dr * dr + dg * dg + db * db;
            }
    }
    return sum;
}

// Read back and composed by giflib, against the octree with the same
// settings: closer at strength 0, smaller once lossy; every file whole, and
// stronger settings give smaller files.
TEST(SmallerGif, GiflibShowsSmallerAndCloserAnimations)
{
#ifndef PELKO_HAVE_GIFLIB
    GTEST_SKIP() << "built without giflib: the written animations are not read back";
#else
    TempDir dir;
    Project p = drifting(8, 96, 64);
    pinGivenPictures(p);
    struct Made {
        std::size_t bytes;
        double error;
    };
    auto make = [&](bool best, int lossy) {
        AnimatedGifOptions o;
        o.jobs = 2;
        o.bestPalette = best;
        o.lossy = lossy;
        o.mergeSimilarities = o.crop = lossy > 0;
        const std::string path = dir.file("out.gif");
        EXPECT_TRUE(WriteAnimatedGif(p, o, path));
        int width = 0;
        const auto shown = shownByGiflib(path, width);
        EXPECT_EQ(shown.size(), p.frames.size()) << (best ? "best " : "octree ") << lossy;
        return Made{fileText(path).size(),
                    shown.size() == p.frames.size() ? shownError(p, shown, width) : -1};
    };
    const Made octree = make(false, 0), best = make(true, 0);
    EXPECT_LT(best.error, octree.error);
    const Made octreeLossy = make(false, 40), bestLossy = make(true, 40), strongest = make(true, 100);
    EXPECT_LT(bestLossy.bytes, octreeLossy.bytes);
    EXPECT_LT(strongest.bytes, bestLossy.bytes);
    EXPECT_LT(bestLossy.bytes, best.bytes);
    EXPECT_GE(strongest.error, 0);
#endif
}

// Pixels are kept only over a frame that stays on the screen: after a frame
// disposed to the background, or one placed elsewhere, the next frame is
// drawn whole, and every frame shows its picture closely.
TEST(SmallerGif, NothingIsKeptOverWhatWasDisposedOrMoved)
{
#ifndef PELKO_HAVE_GIFLIB
    GTEST_SKIP() << "built without giflib: the written animations are not read back";
#else
    TempDir dir;
    Project p = drifting(7);
    pinGivenPictures(p);
    p.frames[2].Gif.DisposalMethod = dmBackground;
    p.frames[4].Left = 2;  // placed elsewhere: frame 5 starts over too
    p.settings.Width = 66;
    AnimatedGifOptions o;
    o.bestPalette = true;
    o.lossy = 30;
    o.mergeSimilarities = o.crop = true;
    ASSERT_TRUE(WriteAnimatedGif(p, o, dir.file("out.gif")));
    int width = 0;
    const auto shown = shownByGiflib(dir.file("out.gif"), width);
    ASSERT_EQ(shown.size(), p.frames.size());
    const double pixels = 64.0 * 48.0;
    for (int i = 0; i < p.frames.count(); ++i) {
        if (i == 4)
            continue;  // drawn 2 pixels to the right: compared below
        EXPECT_LT(shownError(p, shown, width, i) / pixels, 150.0) << "frame " << i;
    }
#endif
}
