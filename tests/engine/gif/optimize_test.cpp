#include <gtest/gtest.h>

#include "engine/colour/palette.h"
#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/optimize.h"
#include "gif_test_util.h"

#include <cstdlib>
#include <set>
#include <string>
#include <thread>

namespace pelko {
namespace {

using test::addFrame;
using test::addGce;

Color colourAt(const TGIFColorMap& m, int i)
{
    return rgb(m.Entry(i).Red, m.Entry(i).Green, m.Entry(i).Blue);
}
int sum(Color c)
{
    return redOf(c) + greenOf(c) + blueOf(c);
}

// 300 distinct colours.
Color colour300(int i)
{
    return rgb(std::uint8_t(i & 255), std::uint8_t((i >> 8) * 60 + 1), std::uint8_t(i % 7));
}

TEST(OptimizeColorMap, ThreeHundredColoursShareTheMostUsed256)
{
    for (bool transparent : {false, true}) {
        SCOPED_TRACE(transparent);
        // Frame A: colours 0..199, B: 200..299. 256 colours are used twice,
        // 44 (22 in each frame) once.
        TGIFImage image;
        Palette a, b;
        std::vector<std::uint8_t> pa, pb;
        std::vector<Color> originalA, originalB;
        for (int i = 0; i < 200; ++i) a.push_back(colour300(i));
        for (int i = 200; i < 300; ++i) b.push_back(colour300(i));
        for (int i = 0; i < 200; ++i)
            for (int k = 0; k < (i < 178 ? 2 : 1); ++k) pa.push_back(std::uint8_t(i));
        for (int i = 0; i < 100; ++i)
            for (int k = 0; k < (i < 78 ? 2 : 1); ++k) pb.push_back(std::uint8_t(i));
        if (transparent) {
            a.push_back(rgb(1, 2, 3));  // entry 200: transparent
            pa.push_back(200);
        }
        for (auto p : pa) originalA.push_back(a[p]);
        for (auto p : pb) originalB.push_back(b[p]);
        TGIFSubImage& fa = addFrame(image, 0, 0, int(pa.size()), 1, pa, a);
        TGIFSubImage& fb = addFrame(image, 0, 1, int(pb.size()), 1, pb, b);
        if (transparent)
            addGce(fa, 5, dmNone, 200);

        OptimizeColorMap(image);

        const TGIFColorMap& g = image.GetColorMap();
        ASSERT_EQ(g.GetCount(), 256);
        EXPECT_TRUE(g.GetOptimized());
        EXPECT_EQ(fa.ColorMap().GetCount(), 0);
        EXPECT_EQ(fb.ColorMap().GetCount(), 0);
        const int kept = transparent ? 255 : 256;
        std::vector<Color> table;
        for (int i = 0; i < kept; ++i) table.push_back(colourAt(g, i));
        if (transparent) {
            EXPECT_EQ(colourAt(g, 255), rgb(0, 0, 0));
            EXPECT_EQ(fa.GraphicControlExtension()->GetTransparentColorIndex(), 255);
            EXPECT_EQ(fa.Data().back(), 255);
        }
        int exact = 0;
        auto check = [&](const TGIFSubImage& f, const std::vector<Color>& original, std::size_t n) {
            for (std::size_t i = 0; i < n; ++i) {
                ASSERT_LT(f.Data()[i], kept);
                Color now = table[f.Data()[i]];
                if (now == original[i]) {
                    ++exact;
                    continue;
                }
                // A colour that did not fit: the kept colour of nearest component sum.
                int best = 1 << 30;
                for (Color c : table) best = std::min(best, std::abs(sum(c) - sum(original[i])));
                EXPECT_EQ(std::abs(sum(now) - sum(original[i])), best);
            }
        };
        check(fa, originalA, originalA.size() - (transparent ? 1 : 0));
        check(fb, originalB, originalB.size());
        EXPECT_EQ(std::set<Color>(table.begin(), table.end()).size(), std::size_t(kept));
        EXPECT_EQ(exact, kept * 2);  // the kept colours are all twice-used ones
    }
}

TEST(OptimizeColorMap, EqualColoursMergeAndUnusedTransparencyGoes)
{
    TGIFImage image;
    const Color red = rgb(255, 0, 0), green = rgb(0, 255, 0), blue = rgb(0, 0, 255);
    TGIFSubImage& a = addFrame(image, 0, 0, 3, 1, {0, 1, 1}, {red, green});
    TGIFSubImage& b = addFrame(image, 0, 1, 2, 1, {0, 1}, {green, blue});
    addGce(b, 0, dmNone, 0);  // index 0 is green here, and it is not unused...
    addGce(a, 0, dmNone, 5);  // ...but a's index 5 is
    // b's transparent index 0 is used by b's first pixel: transparency kept.
    OptimizeColorMap(image);
    const TGIFColorMap& g = image.GetColorMap();
    ASSERT_EQ(g.GetCount(), 4);  // green (2 uses), red, blue, transparent black
    EXPECT_EQ(colourAt(g, 0), green);
    EXPECT_EQ(colourAt(g, 3), rgb(0, 0, 0));
    EXPECT_FALSE(a.GetTransparent());
    EXPECT_EQ(a.GraphicControlExtension()->GetTransparentColorIndex(), 0);
    EXPECT_EQ(colourAt(g, a.Data()[1]), green);
    EXPECT_EQ(colourAt(g, a.Data()[0]), red);
    EXPECT_EQ(b.Data()[0], 3);
    EXPECT_EQ(colourAt(g, b.Data()[1]), blue);
}

TEST(OptimizeColorMap, PixelsOutsideTheMapBecomeEntryZeroWithOneWarning)
{
    TGIFImage image;
    int warnings = 0;
    image.OnWarning = [&](const void*, TGIFSeverity, const std::string& m) {
        EXPECT_EQ(m, "Color not in color table");
        ++warnings;
    };
    TGIFSubImage& f = addFrame(image, 0, 0, 4, 1, {0, 7, 9, 1}, {rgb(10, 0, 0), rgb(20, 0, 0)});
    OptimizeColorMap(image);
    EXPECT_EQ(warnings, 1);
    EXPECT_EQ(colourAt(image.GetColorMap(), f.Data()[1]), rgb(10, 0, 0));
    EXPECT_EQ(colourAt(image.GetColorMap(), f.Data()[3]), rgb(20, 0, 0));
}

const Palette kGlobal4 = {rgb(0, 0, 0), rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255)};
const std::vector<std::uint8_t> kPicture = {0, 1, 2, 3, 1, 1, 2, 2, 3, 0, 0, 1, 2, 3, 3, 3};

TEST(Optimize, MergeMakesARepeatedFrameTransparentAndCropRemovesIt)
{
    // The global map has a spare entry 4 that the pictures do not draw.
    Palette global5 = kGlobal4;
    global5.push_back(rgb(9, 9, 9));
    struct Case {
        bool firstTransparent;
        int wantIndex, wantMapCount;
        int firstDelay, secondDelay, wantDelay;
    } cases[] = {
        {true, 4, 5, 10, 20, 30},                   // borrows the first frame's transparent entry
        {false, 5, 6, 40000, 30000, kGifMaxDelay},  // a new black entry; the longest delay there is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstTransparent);
        TGIFImage image;
        image.GetColorMap().ImportPalette(global5);
        TGIFSubImage& first = addFrame(image, 0, 0, 4, 4, kPicture);
        addGce(first, c.firstDelay, dmNone, c.firstTransparent ? 4 : -1);
        TGIFSubImage& second = addFrame(image, 0, 0, 4, 4, kPicture);
        addGce(second, c.secondDelay, dmNone);

        Optimize(image, {ooMerge}, rmNone, dmNearest, 8);
        ASSERT_TRUE(second.GetTransparent());
        EXPECT_EQ(second.GraphicControlExtension()->GetTransparentColorIndex(), c.wantIndex);
        EXPECT_EQ(second.Data(), std::vector<std::uint8_t>(16, std::uint8_t(c.wantIndex)));
        EXPECT_EQ(image.GetColorMap().GetCount(), c.wantMapCount);

        // Crop removes the empty frame; its time goes to the frame before,
        // transparent or not.
        Optimize(image, {ooCrop}, rmNone, dmNearest, 8);
        ASSERT_EQ(image.Images().GetCount(), 1);
        EXPECT_EQ(first.GraphicControlExtension()->GetDelay(), c.wantDelay);
    }
}

TEST(Optimize, MergeKeepsFramesAfterDisposedOrFullFrames)
{
    for (TDisposalMethod d : {dmBackground, dmPrevious}) {
        TGIFImage image;
        image.GetColorMap().ImportPalette(kGlobal4);
        addGce(addFrame(image, 0, 0, 4, 4, kPicture), 10, d);
        TGIFSubImage& second = addFrame(image, 0, 0, 4, 4, kPicture);
        Optimize(image, {ooMerge}, rmNone, dmNearest, 8);
        EXPECT_EQ(second.Data(), kPicture);
        EXPECT_FALSE(second.GetTransparent());
    }
    // Frames disposed to the previous picture are passed over.
    {
        TGIFImage image;
        image.GetColorMap().ImportPalette(kGlobal4);
        addFrame(image, 0, 0, 4, 4, kPicture);
        addGce(addFrame(image, 0, 0, 4, 4, std::vector<std::uint8_t>(16, 2)), 10, dmPrevious);
        TGIFSubImage& third = addFrame(image, 0, 0, 4, 4, kPicture);
        Optimize(image, {ooMerge}, rmNone, dmNearest, 8);
        ASSERT_TRUE(third.GetTransparent());
        EXPECT_EQ(std::set<std::uint8_t>(third.Data().begin(), third.Data().end()).size(), 1u);
    }
    // An opaque frame with a full map has no index to spare.
    {
        TGIFImage image;
        Palette full(256);
        for (int i = 0; i < 256; ++i) full[std::size_t(i)] = rgb(std::uint8_t(i), 1, 2);
        addFrame(image, 0, 0, 4, 4, kPicture, full);
        TGIFSubImage& second = addFrame(image, 0, 0, 4, 4, kPicture, full);
        Optimize(image, {ooMerge}, rmNone, dmNearest, 8);
        EXPECT_EQ(second.Data(), kPicture);
        EXPECT_EQ(second.ColorMap().GetCount(), 256);
    }
}

TEST(Optimize, MergeDoesNotBorrowAnIndexTheFrameDraws)
{
    // Frame 2's pixels use index 3 as a colour; frame 0's transparent index
    // is 3 too, so frame 2 needs an entry of its own.
    TGIFImage image;
    image.GetColorMap().ImportPalette(kGlobal4);
    addGce(addFrame(image, 0, 0, 4, 4, std::vector<std::uint8_t>(16, 3)), 10, dmNone, 3);
    addFrame(image, 0, 0, 4, 4, kPicture);
    TGIFSubImage& third = addFrame(image, 0, 0, 4, 4, kPicture);
    Merge(third, image.Images().GetImage(1));
    const int t = third.GraphicControlExtension()->GetTransparentColorIndex();
    EXPECT_EQ(t, 4);
}

TEST(Optimize, CropCutsToTheOpaquePixels)
{
    TGIFImage image;
    image.GetColorMap().ImportPalette(kGlobal4);
    std::vector<std::uint8_t> pixels(10 * 10, 0);
    pixels[7 * 10 + 5] = 2;
    TGIFSubImage& f = addFrame(image, 3, 4, 10, 10, pixels);
    addGce(f, 10, dmNone, 0);
    Crop(f);
    EXPECT_EQ(f.GetBoundsRect(), (TGIFRect{8, 11, 9, 12}));
    EXPECT_EQ(f.Data(), std::vector<std::uint8_t>{2});
    EXPECT_EQ(image.GetWidth(), 13);

    // Disposed to the background, the whole rectangle is cleared: no crop.
    TGIFSubImage& g = addFrame(image, 0, 0, 10, 10, pixels);
    addGce(g, 10, dmBackground, 0);
    Optimize(image, {ooCrop}, rmNone, dmNearest, 8);
    EXPECT_EQ(g.GetWidth(), 10);
}

TEST(Optimize, CleanupRemovesBlocksWithoutEffect)
{
    auto loopOf = [](const TGIFSubImage& f) {
        for (const auto& e : f.Extensions())
            if (dynamic_cast<const TGIFAppExtNSLoop*>(e.get()))
                return true;
        return false;
    };
    TGIFImage image;
    image.GetColorMap().ImportPalette(kGlobal4);
    TGIFSubImage& a = addFrame(image, 0, 0, 4, 4, kPicture);
    a.Extensions().Add(std::make_unique<TGIFAppExtNSLoop>(&a));
    a.Extensions().Add(std::make_unique<TGIFCommentExtension>(&a));
    addGce(a, 10, dmBackground, 3);  // index 3 is used: stays transparent
    TGIFSubImage& b = addFrame(image, 0, 0, 4, 4, std::vector<std::uint8_t>(16, 1));
    b.Extensions().Add(std::make_unique<TGIFAppExtNSLoop>(&b));
    addGce(b, 0, dmNone, 2);  // index 2 unused: transparency off, then the block goes
    TGIFSubImage& c = addFrame(image, 1, 1, 2, 2, {1, 1, 1, 1});
    addGce(c, 10, dmBackground);  // c is not covered by the frame after it
    addGce(addFrame(image, 1, 1, 1, 1, {0}), 10, dmNone);

    Optimize(image, {ooCleanup}, rmPalette, dmNearest, 8);
    ASSERT_EQ(image.Images().GetCount(), 4);
    EXPECT_TRUE(loopOf(a));
    EXPECT_EQ(a.Extensions().GetCount(), 2);  // loop and control block
    EXPECT_FALSE(loopOf(b));
    EXPECT_EQ(b.GraphicControlExtension(), nullptr);
    // a was disposed to the background, and b covers it opaquely.
    EXPECT_EQ(a.GraphicControlExtension()->GetDisposal(), dmNone);
    EXPECT_EQ(c.GraphicControlExtension()->GetDisposal(), dmBackground);

    // One frame: the loop block goes, and so does a plain control block.
    TGIFImage single;
    single.GetColorMap().ImportPalette(kGlobal4);
    TGIFSubImage& s = addFrame(single, 0, 0, 4, 4, kPicture);
    s.Extensions().Add(std::make_unique<TGIFAppExtNSLoop>(&s));
    addGce(s, 50, dmBackground);
    Optimize(single, {ooCleanup}, rmNone, dmNearest, 8);
    EXPECT_EQ(s.Extensions().GetCount(), 0);
}

TEST(Optimize, ReduceColorsWithAPaletteNeedsCleanup)
{
    TGIFImage image;
    image.GetColorMap().ImportPalette(kGlobal4);
    addFrame(image, 0, 0, 4, 4, kPicture);
    try {
        Optimize(image, {ooReduceColors}, rmPalette, dmNearest, 8);
        FAIL() << "no error";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Invalid reduction method");
    }
    EXPECT_NO_THROW(Optimize(image, {ooReduceColors, ooCleanup}, rmPalette, dmNearest, 8));
    EXPECT_NO_THROW(Optimize(image, {ooReduceColors}, rmQuantize, dmNearest, 8));
    TGIFImage empty;
    EXPECT_NO_THROW(Optimize(empty, {ooReduceColors}, rmPalette, dmNearest, 8));
}

TEST(Optimize, ReportsProgressAndHoldsThePainterLock)
{
    TGIFImage image;
    image.GetColorMap().ImportPalette(kGlobal4);
    for (int i = 0; i < 3; ++i) addFrame(image, 0, 0, 4, 4, kPicture);
    std::vector<std::pair<TProgressStage, int>> seen;
    image.OnProgress = [&](TProgressStage s, int p, const std::string& m) {
        EXPECT_EQ(m, "Optimizing...");
        // A painter could not get in now.
        std::thread t([&] { EXPECT_FALSE(GIFImagePainterLock(image).try_lock()); });
        t.join();
        seen.push_back({s, p});
    };
    Optimize(image, {ooMerge, ooCrop, ooCleanup, ooColorMap}, rmNone, dmNearest, 8);
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), std::make_pair(psStarting, 0));
    EXPECT_EQ(seen.back(), std::make_pair(psEnding, 100));
    for (std::size_t i = 1; i + 1 < seen.size(); ++i) EXPECT_LE(seen[i].second, 100);
}

}  // namespace
}  // namespace pelko
