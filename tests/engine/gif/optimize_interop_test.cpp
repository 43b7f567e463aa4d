// Optimised animations must show the same pictures as before: decode each
// animation before and after optimising with giflib (composited here) and
// with ffmpeg, and compare the pictures frame time by frame time.

#include <gtest/gtest.h>

#include "engine/colour/bitmap_frame.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/optimize.h"
#include "gif_test_util.h"
#include "support/temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#ifdef PELKO_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace pelko {
namespace {

using Bytes = std::vector<std::uint8_t>;
// One RGBA picture per hundredth of a second.
using Timeline = std::vector<Bytes>;

using test::addFrame;
using test::addGce;

void addLoop(TGIFSubImage& f)
{
    f.Extensions().Add(std::make_unique<TGIFAppExtNSLoop>(&f));
}

Bytes square(int w, int h, int fill, int x0, int y0, int size, int ink)
{
    Bytes p(std::size_t(w * h), std::uint8_t(fill));
    for (int y = y0; y < y0 + size && y < h; ++y)
        for (int x = x0; x < x0 + size && x < w; ++x) p[std::size_t(y * w + x)] = std::uint8_t(ink);
    return p;
}

const Palette kEight = {rgb(0, 0, 0),     rgb(255, 255, 255), rgb(200, 30, 30),   rgb(30, 200, 30),
                        rgb(30, 30, 200), rgb(240, 220, 20),  rgb(120, 120, 120), rgb(0, 0, 0)};

// An opaque background with a square moving over it, some steps standing
// still.
void movingSquare(TGIFImage& image)
{
    image.GetColorMap().ImportPalette(kEight);
    const int steps[] = {0, 3, 3, 6, 10, 10, 14};
    for (int i = 0; i < 7; ++i) {
        TGIFSubImage& f =
            addFrame(image, 0, 0, 32, 24, square(32, 24, 6, steps[i], steps[i] / 2, 8, 2 + i % 3));
        if (i == 0)
            addLoop(f);
        addGce(f, 4 + i, dmNone);
    }
}

// Transparent sprites at different places with every disposal, local maps,
// repeats and a comment.
void sprites(TGIFImage& image)
{
    image.GetColorMap().ImportPalette(kEight);
    TGIFSubImage& bg = addFrame(image, 0, 0, 40, 30, square(40, 30, 1, 5, 5, 20, 4));
    addLoop(bg);
    addGce(bg, 5, dmNone);
    // Transparent index 7 around a 6 x 6 sprite in a 12 x 12 frame.
    Bytes sprite = square(12, 12, 7, 3, 3, 6, 2);
    addGce(addFrame(image, 2, 2, 12, 12, sprite), 6, dmBackground, 7);
    addGce(addFrame(image, 10, 4, 12, 12, sprite), 7, dmPrevious, 7);
    addGce(addFrame(image, 10, 4, 12, 12, sprite), 8, dmNone, 7);
    addGce(addFrame(image, 10, 4, 12, 12, sprite), 9, dmNone, 7);  // a repeat
    TGIFSubImage& local = addFrame(image, 20, 10, 10, 10, square(10, 10, 0, 2, 2, 5, 1),
                                   {rgb(1, 2, 3), rgb(200, 30, 30), rgb(9, 9, 9)});
    auto comment = std::make_unique<TGIFCommentExtension>(&local);
    comment->Text().push_back("drawn by hand");
    local.Extensions().Add(std::move(comment));
    addGce(local, 5, dmPrevious, 0);
    addGce(addFrame(image, 0, 0, 40, 30, square(40, 30, 1, 5, 5, 20, 4)), 6, dmNone);  // the background again
    addGce(addFrame(image, 0, 0, 40, 30, square(40, 30, 7, 0, 0, 0, 0)), 3, dmNone, 7);  // nothing drawn
    addGce(addFrame(image, 30, 20, 10, 10, square(10, 10, 3, 0, 0, 10, 3)), 4, dmBackground, 7);
    addGce(addFrame(image, 0, 0, 40, 30, square(40, 30, 1, 5, 5, 20, 4)), 5, dmNone);
}

// Pictures reduced from true colour with their own 256-entry maps, as the
// generator makes them; one with a transparent colour. 16 colours each, so
// that the shared map holds them all and loses nothing.
void reduced(TGIFImage& image)
{
    image.SetColorReduction(rmQuantize);
    image.SetReductionBits(4);
    image.SetDitherMode(dmFloydSteinberg);
    for (int i = 0; i < 5; ++i) {
        Bitmap b(48, 32, pf24bit);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 48; ++x) {
                std::uint8_t* p = b.scanline(y) + x * 3;
                const bool inBox = x >= 10 + i * 4 && x < 26 + i * 4 && y >= 8 && y < 24;
                p[0] = std::uint8_t(inBox ? 255 : x * 5);
                p[1] = std::uint8_t(inBox ? 255 : y * 7);
                p[2] = std::uint8_t(inBox ? 255 : (i == 2 ? 40 : 90));
            }
        if (i == 3) {
            b.setTransparent(true);
            b.setTransparentColor(rgb(255, 255, 255));
        }
        int index = AddBitmap(image, b);
        TGIFSubImage& f = *image.Images().GetImage(index);
        if (i == 0)
            addLoop(f);
        if (f.GraphicControlExtension())
            f.GraphicControlExtension()->SetDelay(5);
        else
            addGce(f, 5, dmNone);
    }
}

void optimise(TGIFImage& image)
{
    OptimizeColorMap(image);
    Optimize(image, {ooMerge, ooCrop, ooCleanup, ooColorMap}, rmNone, dmNearest, 8);
}

// Transparent pixels compare equal whatever colour they carry.
void normalise(Bytes& rgba)
{
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4)
        if (rgba[i + 3] == 0)
            rgba[i] = rgba[i + 1] = rgba[i + 2] = 0;
}

#ifdef PELKO_HAVE_GIFLIB
struct Reader {
    const Bytes* bytes;
    std::size_t pos = 0;
};

int readBytes(GifFileType* gif, GifByteType* out, int n)
{
    auto* r = static_cast<Reader*>(gif->UserData);
    int k = int(std::min<std::size_t>(std::size_t(n), r->bytes->size() - r->pos));
    std::memcpy(out, r->bytes->data() + r->pos, std::size_t(k));
    r->pos += std::size_t(k);
    return k;
}

// The pictures giflib's frames make, composited with the usual rules:
// transparent pixels leave the canvas, disposal 2 clears the frame's
// rectangle to transparent and disposal 3 restores what was there before.
Timeline compositeWithGiflib(const Bytes& file)
{
    Reader reader{&file};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, readBytes, &error);
    EXPECT_NE(gif, nullptr);
    if (!gif)
        return {};
    EXPECT_EQ(DGifSlurp(gif), GIF_OK);
    const int W = gif->SWidth, H = gif->SHeight;
    Bytes canvas(std::size_t(W * H * 4), 0);
    Timeline out;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& im = gif->SavedImages[i];
        GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif, i, &gcb);
        const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : gif->SColorMap;
        const Bytes before = canvas;
        const GifImageDesc& d = im.ImageDesc;
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const int sx = d.Left + x, sy = d.Top + y;
                const int p = im.RasterBits[y * d.Width + x];
                if (sx >= W || sy >= H || p == gcb.TransparentColor)
                    continue;
                const GifColorType c = p < map->ColorCount ? map->Colors[p] : GifColorType{0, 0, 0};
                std::uint8_t* o = &canvas[std::size_t((sy * W + sx) * 4)];
                o[0] = c.Red, o[1] = c.Green, o[2] = c.Blue, o[3] = 255;
            }
        for (int t = 0; t < gcb.DelayTime; ++t) out.push_back(canvas);
        if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = d.Top; y < d.Top + d.Height && y < H; ++y)
                for (int x = d.Left; x < d.Left + d.Width && x < W; ++x)
                    std::memset(&canvas[std::size_t((y * W + x) * 4)], 0, 4);
        } else if (gcb.DisposalMode == DISPOSE_PREVIOUS) {
            canvas = before;
        }
    }
    DGifCloseFile(gif, &error);
    return out;
}
#endif

bool haveFfmpeg()
{
    return std::system("ffmpeg -version >/dev/null 2>&1") == 0;
}

// ffmpeg's pictures at 100 per second.
Timeline decodeWithFfmpeg(const Bytes& file, const std::string& name, int width, int height)
{
    const test::TempDir dir;
    const std::string in = (dir / (name + ".gif")).string(), out = (dir / (name + ".rgba")).string();
    std::ofstream(in, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    const std::string cmd = "ffmpeg -v error -nostdin -y -i '" + in +
                            "' -f rawvideo -pix_fmt rgba -fps_mode cfr -r 100 '" + out + "' 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::ifstream f(out, std::ios::binary);
    Bytes all((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    Timeline t;
    const std::size_t frameBytes = std::size_t(width * height * 4);
    for (std::size_t pos = 0; pos + frameBytes <= all.size(); pos += frameBytes)
        t.emplace_back(all.begin() + std::ptrdiff_t(pos), all.begin() + std::ptrdiff_t(pos + frameBytes));
    return t;
}

void expectSame(Timeline a, Timeline b, const std::string& what)
{
    ASSERT_EQ(a.size(), b.size()) << what;
    ASSERT_FALSE(a.empty()) << what;
    for (std::size_t i = 0; i < a.size(); ++i) {
        normalise(a[i]);
        normalise(b[i]);
        ASSERT_TRUE(a[i] == b[i]) << what << ": picture differs at " << i << " hundredths";
    }
}

TEST(OptimizeInterop, OptimisedAnimationsShowTheSamePictures)
{
    struct Case {
        const char* name;
        void (*build)(TGIFImage&);
    } cases[] = {{"moving", movingSquare}, {"sprites", sprites}, {"reduced", reduced}};
    const bool ffmpeg = haveFfmpeg();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TGIFImage image;
        c.build(image);
        const int frames = image.Images().GetCount();
        const Bytes before = image.SaveToBytes();
        optimise(image);
        const Bytes after = image.SaveToBytes();
        EXPECT_LT(after.size(), before.size());
        EXPECT_LE(image.Images().GetCount(), frames);
#ifdef PELKO_HAVE_GIFLIB
        expectSame(compositeWithGiflib(before), compositeWithGiflib(after),
                   std::string(c.name) + " (giflib)");
#endif
        if (ffmpeg)
            expectSame(
                decodeWithFfmpeg(before, std::string(c.name) + "_before", image.GetWidth(),
                                 image.GetHeight()),
                decodeWithFfmpeg(after, std::string(c.name) + "_after", image.GetWidth(), image.GetHeight()),
                std::string(c.name) + " (ffmpeg)");
    }
#if !defined(PELKO_HAVE_GIFLIB)
    if (!ffmpeg)
        GTEST_SKIP() << "neither giflib nor ffmpeg is here to decode the animations";
#endif
}

}  // namespace
}  // namespace pelko
