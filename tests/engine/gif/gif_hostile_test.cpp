// Hostile GIF streams: frames beyond the pixel budget or without their data,
// long runs of extensions and long lists, each refused (or read) quickly and
// before the memory it claims is taken; and the read without pixels that
// "info" uses, which must see what the whole read sees.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"
#include "engine/image/largest_allocation.h"
#include "engine/image/pixel_budget.h"
#include "engine/image/ppm.h"
#include "gif_test_util.h"

namespace pelko {
namespace {

using test::Bytes;

struct Read {
    std::string error;
    int frames = 0;
    std::vector<std::string> warnings;
    double seconds = 0;
    std::size_t largestAllocation = 0;
};

Read read(TGIFImage& image, const Bytes& bytes)
{
    Read r;
    image.OnWarning = [&](const void*, TGIFSeverity, const std::string& m) { r.warnings.push_back(m); };
    test::resetLargestAllocation();
    const auto start = std::chrono::steady_clock::now();
    try {
        image.LoadFromBytes(bytes.data(), bytes.size());
    } catch (const GIFException& e) {
        r.error = e.what();
    }
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.largestAllocation = test::largestAllocation();
    r.frames = image.Images().GetCount();
    image.OnWarning = nullptr;
    return r;
}

// One frame of the given size whose data gives a single pixel.
Bytes onePixelFrame(int screenW, int screenH, int w, int h)
{
    Bytes b = test::gifHeader(screenW, screenH, 1);
    test::appendImage(b, 0, 0, w, h, 0, 2, {4, 1, 5});
    b.push_back(0x3B);
    return b;
}

}  // namespace

TEST(GifHostile, FramesBeyondTheBudgetOrTheirDataAreRefusedBeforeTheyAreMade)
{
    Bytes twoShort = test::gifHeader(3000, 3000, 1);  // each frame lacks 9 M pixels; 16 M may be missing
    for (int i = 0; i < 2; ++i) test::appendImage(twoShort, 0, 0, 3000, 3000, 0, 2, {4, 1, 5});
    twoShort.push_back(0x3B);
    const struct {
        const char* name;
        Bytes file;
        std::string error;
        int frames;  // read before the error
        std::size_t allocationLimit;
    } cases[] = {
        {"16384 x 16384 frame", onePixelFrame(16384, 16384, 16384, 16384),
         "picture too large: 16384 × 16384 (limit 10000 × 10000)", 0, 1 << 20},
        {"zero-sized frame on a 65535 x 65535 screen", onePixelFrame(65535, 65535, 0, 0),
         "picture too large: 65535 × 65535 (limit 10000 × 10000)", 0, 1 << 20},
        {"10000 x 10000 frame of one pixel", onePixelFrame(10000, 10000, 10000, 10000),
         "Premature end of data", 0, 1 << 20},
        {"two 3000 x 3000 frames of one pixel", twoShort, "Premature end of data", 1, 10 << 20},
        {"a large screen alone",
         [] {
             Bytes b = test::gifHeader(65535, 65535, 1);
             b.push_back(0x3B);
             return b;
         }(),
         "", 0, 1 << 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TGIFImage image;
        const Read r = read(image, c.file);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.frames, c.frames);
        EXPECT_LT(r.largestAllocation, c.allocationLimit);
        EXPECT_LT(r.seconds, 5.0);
    }

    // A short frame within what may be missing keeps the fill, as before.
    TGIFImage image;
    const Read r = read(image, onePixelFrame(100, 100, 100, 100));
    EXPECT_EQ(r.error, "");
    ASSERT_EQ(image.Images().GetCount(), 1);
    EXPECT_EQ(image.Images().GetImage(0)->Data().size(), 10000u);

    // A lower budget refuses from the descriptor too.
    ScopedPixelBudget budget({100, 100});
    TGIFImage small;
    EXPECT_EQ(read(small, onePixelFrame(101, 1, 101, 1)).error,
              "picture too large: 101 × 1 (limit 100 × 100)");

    // Frames that fit one by one but not together.
    const std::int64_t saved = GIFImageMaxTotalPixels;
    GIFImageMaxTotalPixels = 100000;
    Bytes many = test::gifHeader(100, 100, 1);
    for (int i = 0; i < 12; ++i) test::appendImage(many, 0, 0, 100, 100, 0, 2, {4, 5});
    TGIFImage total;
    EXPECT_EQ(read(total, many).error, "Image too large");
    GIFImageMaxTotalPixels = saved;
}

TEST(GifHostile, LongRunsOfExtensionsKeepTheFirstOnesInLinearTime)
{
    // 500000 graphic control extensions (4 MB) before one image: the first
    // applies, 256 are kept, one warning says the rest were skipped.
    Bytes b = test::gifHeader(1, 1, 1);
    test::appendGce(b, 7, 0, -1);
    for (int i = 1; i < 500000; ++i) test::appendGce(b, 10, 0, i < 256 ? -1 : 1);
    test::appendImage(b, 0, 0, 1, 1, 0, 2, {4, 1, 5});
    b.push_back(0x3B);
    TGIFImage image;
    const Read r = read(image, b);
    EXPECT_EQ(r.error, "");
    EXPECT_LT(r.seconds, 5.0);
    EXPECT_EQ(r.warnings, std::vector<std::string>{gifmsg::kTooManyExtensions});
    ASSERT_EQ(r.frames, 1);
    const TGIFSubImage& frame = *image.Images().GetImage(0);
    EXPECT_EQ(frame.Extensions().GetCount(), 256);
    EXPECT_EQ(frame.GraphicControlExtension()->GetDelay(), 7);
    EXPECT_FALSE(frame.GetTransparent());  // the dropped ones, transparent, left it alone

    // A first graphic control extension after the cap is still kept.
    Bytes late = test::gifHeader(1, 1, 1);
    for (int i = 0; i < 300; ++i) late.insert(late.end(), {0x21, 0xFE, 1, 'x', 0});
    test::appendGce(late, 9, 2, 0);
    test::appendImage(late, 0, 0, 1, 1, 0, 2, {4, 1, 5});
    TGIFImage lateImage;
    read(lateImage, late);
    ASSERT_EQ(lateImage.Images().GetCount(), 1);
    const TGIFSubImage& lateFrame = *lateImage.Images().GetImage(0);
    EXPECT_EQ(lateFrame.Extensions().GetCount(), 257);
    ASSERT_NE(lateFrame.GraphicControlExtension(), nullptr);
    EXPECT_EQ(lateFrame.GraphicControlExtension()->GetDelay(), 9);
    EXPECT_TRUE(lateFrame.GetTransparent());
}

TEST(GifHostile, LongListsAreClearedInLinearTime)
{
    // Deleting from the front one by one would move the rest each time:
    // minutes for this many.
    TGIFImage image;
    TGIFSubImage frame(&image);
    for (int i = 0; i < 400000; ++i) frame.Extensions().Add(std::make_unique<TGIFCommentExtension>(&frame));
    const auto start = std::chrono::steady_clock::now();
    frame.Extensions().Clear();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
    EXPECT_EQ(frame.Extensions().GetCount(), 0);
}

TEST(GifStructureRead, SeesWhatTheWholeReadSeesWithoutPixels)
{
    std::vector<std::pair<std::string, Bytes>> streams;
    Bytes small = test::gifHeader(4, 2, 2);
    test::appendGce(small, 5, 2, 3);
    test::appendImage(small, 0, 0, 4, 2, 0, 2, {4, 0, 1, 2, 3, 0, 1, 2, 3, 5});
    test::appendImage(small, 1, 0, 2, 2, 0x40, 2, {4, 3, 2});  // interlaced, cut short
    small.push_back(0x3B);
    streams.push_back({"hand-made", small});
    Bytes bad = test::gifHeader(2, 2, 1);
    test::appendImage(bad, 0, 0, 2, 2, 0, 2, {4, 0, 7});  // a code no encoder writes
    streams.push_back({"invalid code", bad});
    streams.push_back({"beyond the budget", onePixelFrame(20000, 10, 20000, 10)});
    if (test::haveTestdata())
        for (const auto& e : std::filesystem::directory_iterator(std::string(PELKO_TESTDATA) + "/gif"))
            streams.push_back({e.path().filename().string(), readFile(e.path().string())});

    for (const auto& [name, bytes] : streams) {
        SCOPED_TRACE(name);
        TGIFImage whole, structure;
        structure.SetReadPixels(false);
        const Read w = read(whole, bytes);
        const Read s = read(structure, bytes);
        if (w.error.rfind("picture too large", 0) == 0) {
            // Nothing is made for pixels, so the budget does not stop it.
            EXPECT_EQ(s.error.rfind("picture too large", 0), std::string::npos);
            EXPECT_GE(s.frames, w.frames);
            continue;
        }
        EXPECT_EQ(s.error, w.error);
        EXPECT_EQ(s.warnings, w.warnings);
        ASSERT_EQ(s.frames, w.frames);
        for (int i = 0; i < w.frames; ++i) {
            const TGIFSubImage& a = *whole.Images().GetImage(i);
            const TGIFSubImage& b = *structure.Images().GetImage(i);
            EXPECT_EQ(b.GetBoundsRect(), a.GetBoundsRect());
            EXPECT_EQ(b.GetInterlaced(), a.GetInterlaced());
            EXPECT_EQ(b.ColorMap().GetCount(), a.ColorMap().GetCount());
            EXPECT_EQ(b.Extensions().GetCount(), a.Extensions().GetCount());
            EXPECT_EQ(b.GetTransparent(), a.GetTransparent());
            EXPECT_TRUE(b.Data().empty());
        }
    }
}

}  // namespace pelko
