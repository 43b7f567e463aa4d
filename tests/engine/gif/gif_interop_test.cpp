// Interop: what we write decodes with giflib and ffmpeg to exactly the
// indices and colours we wrote; what other tools write (and the corpus)
// reads here as giflib reads it.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"
#include "engine/image/ppm.h"
#include "gif_test_util.h"
#include "support/temp_dir.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using test::Bytes;

struct Shape {
    int width, height, frames, bits;
    bool localMaps, interlaced;
    TGIFCompression compression;
};

std::string describe(const Shape& s)
{
    char buf[160];
    std::snprintf(buf, sizeof buf, "%dx%d frames %d bits %d local %d interlaced %d %s", s.width, s.height,
                  s.frames, s.bits, s.localMaps, s.interlaced, s.compression == gcRLE ? "RLE" : "LZW");
    return buf;
}

// An animation of full-screen frames (the last ones smaller and offset when
// there are several), each with a delay, disposal and transparency.
void build(TGIFImage& image, const Shape& s, std::mt19937& rng)
{
    image.SetCompression(s.compression);
    const int colors = 1 << s.bits;
    if (!s.localMaps)
        image.GetColorMap().ImportPalette(test::distinctColors(colors));
    for (int i = 0; i < s.frames; ++i) {
        const bool inset = i > 0 && i % 2 == 0 && s.width > 2 && s.height > 2;
        const int w = inset ? s.width / 2 : s.width, h = inset ? s.height / 2 : s.height;
        const int x = inset ? s.width / 3 : 0, y = inset ? s.height / 4 : 0;
        TGIFSubImage& f =
            test::addFrame(image, x, y, w, h, test::randomPixels(std::size_t(w * h), colors, rng, i % 10));
        f.SetInterlaced(s.interlaced);
        if (s.localMaps)
            f.ColorMap().ImportPalette(test::distinctColors(colors, std::uint32_t(i + 2)));
        if (i == 0 && s.frames > 1) {
            auto loop = std::make_unique<TGIFAppExtNSLoop>(&f);
            loop->SetLoops(3);
            f.Extensions().Add(std::move(loop));
        }
        if (s.frames > 1) {
            auto gce = std::make_unique<TGIFGraphicControlExtension>(&f);
            gce->SetDelay(5 + i);
            gce->SetDisposal(TDisposalMethod(i % 4));
            if (i % 3 == 1) {
                gce->SetTransparent(true);
                gce->SetTransparentColorIndex(i % colors);
            }
            f.Extensions().Add(std::move(gce));
        }
    }
}

#ifdef PELKO_HAVE_GIFLIB
void expectSameAsGiflib(const TGIFImage& ours, const test::RefImage& ref, const std::string& what)
{
    ASSERT_TRUE(ref.ok) << what << ": giflib error " << ref.error;
    EXPECT_EQ(ref.width, ours.GetWidth()) << what;
    EXPECT_EQ(ref.height, ours.GetHeight()) << what;
    std::vector<const TGIFSubImage*> frames;
    for (const auto& f : ours.Images())
        if (!f->GetEmpty() || f->GetWidth() * f->GetHeight() > 0)
            frames.push_back(f.get());
    ASSERT_EQ(frames.size(), ref.frames.size()) << what;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const TGIFSubImage& f = *frames[i];
        const test::RefFrame& r = ref.frames[i];
        const std::string at = what + " frame " + std::to_string(i);
        EXPECT_EQ(f.GetBoundsRect(), (TGIFRect{r.left, r.top, r.left + r.width, r.top + r.height})) << at;
        EXPECT_EQ(f.Data(), r.pixels) << at;
        const TGIFColorMap& map = f.GetActiveColorMap();
        ASSERT_EQ(std::size_t(map.GetCount()), r.colors.size()) << at;
        for (int c = 0; c < map.GetCount(); ++c)
            EXPECT_EQ(map.GetColor(c), r.colors[std::size_t(c)]) << at << " colour " << c;
        const TGIFGraphicControlExtension* gce = f.GraphicControlExtension();
        EXPECT_EQ(gce != nullptr, r.hasGce) << at;
        if (gce && r.hasGce) {
            EXPECT_EQ(gce->GetDelay(), r.delay) << at;
            EXPECT_EQ(int(gce->GetDisposal()), r.disposal) << at;
            EXPECT_EQ(gce->GetTransparent() ? gce->GetTransparentColorIndex() : -1, r.transparent) << at;
        }
    }
}

TEST(GifInterop, GiflibReadsWhatWeWrite)
{
    std::mt19937 rng(99);
    std::vector<Shape> shapes;
    for (int bits = 1; bits <= 8; ++bits)
        for (TGIFCompression c : {gcLZW, gcRLE})
            for (bool interlaced : {false, true}) {
                shapes.push_back({1, 1, 1, bits, false, interlaced, c});
                shapes.push_back({37, 23, 3, bits, bits % 2 == 0, interlaced, c});
            }
    shapes.push_back({640, 360, 4, 8, false, false, gcLZW});
    shapes.push_back({640, 360, 4, 8, true, true, gcRLE});
    shapes.push_back({2000, 1500, 1, 8, false, true, gcLZW});
    shapes.push_back({3, 1000, 2, 5, true, false, gcRLE});
    for (const Shape& s : shapes) {
        TGIFImage image;
        build(image, s, rng);
        const Bytes bytes = image.SaveToBytes();
        expectSameAsGiflib(image, test::readWithGiflib(bytes), describe(s));
        // And our reader gives the same pixels back.
        TGIFImage back;
        back.LoadFromBytes(bytes.data(), bytes.size());
        ASSERT_EQ(back.Images().GetCount(), image.Images().GetCount());
        for (int i = 0; i < image.Images().GetCount(); ++i)
            EXPECT_EQ(back.Images().GetImage(i)->Data(), image.Images().GetImage(i)->Data()) << describe(s);
    }
}

TEST(GifInterop, CorpusReadsAsGiflibReadsIt)
{
    if (!test::haveTestdata())
        GTEST_SKIP() << "test data folder " << PELKO_TESTDATA << "/gif is absent";
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(std::string(PELKO_TESTDATA) + "/gif")) {
        if (entry.path().extension() != ".gif")
            continue;
        const Bytes bytes = readFile(entry.path().string());
        const test::RefImage ref = test::readWithGiflib(bytes);
        TGIFImage ours;
        bool failed = false;
        try {
            ours.LoadFromBytes(bytes.data(), bytes.size());
        } catch (const GIFException&) {
            failed = true;
        }
        if (!ref.ok || failed)
            continue;  // damaged files: covered by the corpus expectations test
        // giflib keeps an image's own zero size; we take the screen's (with a warning).
        bool zeroSized = false;
        for (const auto& r : ref.frames) zeroSized |= r.width == 0 || r.height == 0;
        if (zeroSized)
            continue;
        // giflib does not read pixels past a truncated end; neither file is comparable then.
        expectSameAsGiflib(ours, ref, entry.path().filename().string());
        ++compared;
    }
    EXPECT_GT(compared, 40);
}

// GIFs made by ImageMagick, ffmpeg and gifsicle read as giflib reads them.
TEST(GifInterop, OtherToolsOutputReadsAsGiflibReadsIt)
{
    if (!test::haveTool("convert") || !test::haveTool("ffmpeg") || !test::haveTool("gifsicle"))
        GTEST_SKIP() << "ImageMagick, ffmpeg or gifsicle is not installed";
    const test::TempDir dir;
    const std::string d = dir.path().string();
    const std::vector<std::pair<std::string, std::string>> makers = {
        {"im-gradient.gif", "convert -size 120x80 gradient:red-blue -colors 60 " + d + "/im-gradient.gif"},
        {"im-anim.gif", "convert -delay 7 -size 40x30 xc:red xc:lime xc:blue -loop 2 " + d + "/im-anim.gif"},
        {"im-interlaced.gif",
         "convert -seed 4 -size 90x70 plasma:fractal -colors 200 -interlace GIF " + d + "/im-interlaced.gif"},
        {"im-mono.gif", "convert -size 33x17 pattern:checkerboard -monochrome " + d + "/im-mono.gif"},
        {"ff-testsrc.gif",
         "ffmpeg -v error -y -f lavfi -i testsrc=size=96x64:rate=5 -frames:v 6 " + d + "/ff-testsrc.gif"},
        {"ff-mandel.gif",
         "ffmpeg -v error -y -f lavfi -i mandelbrot=size=80x60:rate=10 -frames:v 4 " + d + "/ff-mandel.gif"},
        {"gs-optimized.gif",
         "gifsicle -O3 --colors 16 " + d + "/ff-testsrc.gif -o " + d + "/gs-optimized.gif"},
        {"gs-interlaced.gif", "gifsicle --interlace " + d + "/im-anim.gif -o " + d + "/gs-interlaced.gif"},
        {"gs-comment.gif",
         "gifsicle --comment hello --loopcount=5 " + d + "/im-gradient.gif -o " + d + "/gs-comment.gif"},
    };
    for (const auto& [name, command] : makers) {
        ASSERT_TRUE(test::runCommand(command)) << command;
        const Bytes bytes = readFile(d + "/" + name);
        TGIFImage ours;
        ASSERT_NO_THROW(ours.LoadFromBytes(bytes.data(), bytes.size())) << name;
        expectSameAsGiflib(ours, test::readWithGiflib(bytes), name);
    }
}
#endif

// ffmpeg decodes our full-screen frames to exactly the colours of our maps.
TEST(GifInterop, FfmpegShowsTheColoursWeWrote)
{
    if (!test::haveTool("ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed";
    const test::TempDir dir;
    std::mt19937 rng(5);
    for (const Shape& s :
         {Shape{64, 48, 3, 8, true, false, gcLZW}, Shape{31, 17, 2, 3, false, true, gcRLE},
          Shape{1, 1, 1, 1, false, false, gcLZW}, Shape{200, 150, 2, 6, false, true, gcLZW}}) {
        TGIFImage image;
        image.SetCompression(s.compression);
        const int colors = 1 << s.bits;
        if (!s.localMaps)
            image.GetColorMap().ImportPalette(test::distinctColors(colors));
        for (int i = 0; i < s.frames; ++i) {
            TGIFSubImage& f =
                test::addFrame(image, 0, 0, s.width, s.height,
                               test::randomPixels(std::size_t(s.width * s.height), colors, rng, 3));
            f.SetInterlaced(s.interlaced);
            if (s.localMaps)
                f.ColorMap().ImportPalette(test::distinctColors(colors, std::uint32_t(i + 9)));
            auto gce = std::make_unique<TGIFGraphicControlExtension>(&f);
            gce->SetDelay(10);
            gce->SetDisposal(dmNoDisposal);
            f.Extensions().Add(std::move(gce));
        }
        const std::string gif = (dir / "out.gif").string(), raw = (dir / "out.rgb").string();
        image.SaveToFile(gif);
        ASSERT_TRUE(test::runCommand("ffmpeg -v error -y -i " + gif +
                                     " -vsync passthrough -f rawvideo -pix_fmt rgb24 " + raw))
            << describe(s);
        const Bytes rgbBytes = readFile(raw);
        const std::size_t frameBytes = std::size_t(s.width * s.height * 3);
        ASSERT_EQ(rgbBytes.size(), frameBytes * std::size_t(s.frames)) << describe(s);
        for (int i = 0; i < s.frames; ++i) {
            const TGIFSubImage& f = *image.Images().GetImage(i);
            const TGIFColorMap& map = f.GetActiveColorMap();
            Bytes expected;
            for (std::uint8_t p : f.Data()) {
                const Color c = map.GetColor(p);
                expected.push_back(redOf(c));
                expected.push_back(greenOf(c));
                expected.push_back(blueOf(c));
            }
            EXPECT_TRUE(std::equal(expected.begin(), expected.end(),
                                   rgbBytes.begin() + std::ptrdiff_t(frameBytes * std::size_t(i))))
                << describe(s) << " frame " << i;
        }
    }
}

}  // namespace
}  // namespace pelko
