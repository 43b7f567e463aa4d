// Colour maps: capacity, bits per pixel, lookup direction, errors, the
// usage sort, and how tables are written and read.

#include <gtest/gtest.h>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"
#include "gif_test_util.h"

namespace pelko {
namespace {

using test::WarningLog;

TEST(GifColorMap, CapacityAndBitsPerPixelFollowTheCount)
{
    struct Case {
        int count, capacity, bits;
    };
    for (Case c : {Case{0, 0, 0}, Case{1, 16, 1}, Case{2, 16, 1}, Case{3, 16, 2}, Case{16, 16, 4},
                   Case{17, 32, 5}, Case{33, 64, 6}, Case{129, 160, 8}, Case{256, 256, 8}}) {
        TGIFColorMap map;
        for (int i = 0; i < c.count; ++i) map.Add(rgb(std::uint8_t(i), 0, 0));
        EXPECT_EQ(map.GetCapacity(), c.capacity) << c.count;
        EXPECT_EQ(map.GetBitsPerPixel(), c.bits) << c.count;
    }
    TGIFColorMap map;
    map.SetCapacity(100);
    EXPECT_EQ(map.GetCapacity(), 128);
    map.SetCapacity(20);  // never shrinks
    EXPECT_EQ(map.GetCapacity(), 128);
}

TEST(GifColorMap, IndexOfSearchesBackwardsUnlessOptimized)
{
    TGIFColorMap map;
    const Color red = rgb(255, 0, 0);
    map.Add(red);
    map.Add(rgb(0, 255, 0));
    map.Add(red);
    EXPECT_EQ(map.IndexOf(red), 2);
    EXPECT_EQ(map.AddUnique(red), 2);
    EXPECT_EQ(map.GetCount(), 3);
    map.SetOptimized(true);
    EXPECT_EQ(map.IndexOf(red), 0);
    EXPECT_EQ(map.IndexOf(rgb(1, 2, 3)), -1);
    map.Add(rgb(1, 2, 3));
    EXPECT_FALSE(map.GetOptimized());
}

TEST(GifColorMap, ColoursMapRedFirstAndBack)
{
    TGIFColorMap map;
    map.Add(0x00332211);
    EXPECT_EQ(map.Entry(0), (TGIFColor{0x11, 0x22, 0x33}));
    EXPECT_EQ(map.GetColor(0), Color(0x00332211));
    map.Add(0xFF665544);  // the top byte is not kept
    EXPECT_EQ(map.GetColor(1), Color(0x00665544));
}

TEST(GifColorMap, Errors)
{
    TGIFColorMap full;
    for (int i = 0; i < 256; ++i) full.Add(Color(i));
    EXPECT_THROW(
        try { full.Add(1234); } catch (const GIFException& e) {
            EXPECT_STREQ(e.what(), "Color table overflow");
            throw;
        },
        GIFException);
    EXPECT_THROW(full.Delete(256), GIFException);
    EXPECT_THROW(full.SetColor(-1, 0), GIFException);
    full.Delete(0);
    EXPECT_EQ(full.GetCount(), 255);
    EXPECT_EQ(full.GetColor(0), Color(1));

    // GetColor outside the map warns and falls back to entry 0, or fails on an empty map.
    TGIFImage image;
    WarningLog log;
    log.attach(image);
    TGIFColorMap& global = image.GetColorMap();
    EXPECT_THROW(
        try { global.GetColor(0); } catch (const GIFException& e) {
            EXPECT_STREQ(e.what(), "Color table is empty");
            throw;
        },
        GIFException);
    global.Add(rgb(9, 8, 7));
    EXPECT_EQ(global.GetColor(5), rgb(9, 8, 7));
    EXPECT_EQ(log.count("Invalid color index"), 2);
}

TEST(GifColorMap, OptimizeSortsByUseRemapsPixelsAndDropsUnused)
{
    TGIFImage image;
    const std::vector<Color> colors = test::distinctColors(5);
    image.GetColorMap().ImportPalette(colors);
    // Uses: 0 x1, 1 x0, 2 x4, 3 x2, 4 x0. Transparent index 3.
    TGIFSubImage& frame = test::addFrame(image, 0, 0, 7, 1, {2, 3, 2, 0, 2, 3, 2});
    auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(3);
    frame.Extensions().Add(std::move(gce));

    ASSERT_TRUE(image.GetColorMap().Optimize());
    const TGIFColorMap& map = image.GetColorMap();
    EXPECT_TRUE(map.GetOptimized());
    ASSERT_EQ(map.GetCount(), 3);
    EXPECT_EQ(map.GetColor(0), colors[2]);
    EXPECT_EQ(map.GetColor(1), colors[3]);
    EXPECT_EQ(map.GetColor(2), colors[0]);
    EXPECT_EQ(frame.Data(), (std::vector<std::uint8_t>{0, 1, 0, 2, 0, 1, 0}));
    EXPECT_EQ(frame.GraphicControlExtension()->GetTransparentColorIndex(), 1);

    // Already in order: flagged Optimized, nothing else changes.
    TGIFColorMap& local = frame.ColorMap();
    local.ImportPalette({rgb(1, 1, 1)});
    EXPECT_FALSE(local.Optimize());  // one colour: nothing to sort
    TGIFImage empty;
    empty.GetColorMap().ImportPalette(colors);
    EXPECT_FALSE(empty.GetColorMap().Optimize());  // no frames
}

TEST(GifColorMap, TablesArePaddedToAPowerOfTwoAndReadBackExactly)
{
    for (int n : {1, 2, 3, 5, 129}) {
        TGIFColorMap map;
        map.ImportPalette(test::distinctColors(n));
        GifOutput out;
        map.SaveToStream(out);
        const int padded = 1 << map.GetBitsPerPixel();
        ASSERT_EQ(out.size(), std::size_t(padded) * 3) << n;
        for (std::size_t i = std::size_t(n) * 3; i < out.size(); ++i) EXPECT_EQ(out.bytes()[i], 0);

        TGIFColorMap back;
        back.SetOptimized(true);
        GifInput in(out.bytes());
        back.LoadFromStream(in, padded);
        EXPECT_EQ(back.GetCount(), padded);
        EXPECT_FALSE(back.GetOptimized());
        for (int i = 0; i < n; ++i) EXPECT_EQ(back.GetColor(i), map.GetColor(i));
    }
    TGIFColorMap empty;
    GifOutput out;
    empty.SaveToStream(out);
    EXPECT_EQ(out.size(), 0u);

    TGIFColorMap map;
    const std::uint8_t shortTable[5] = {1, 2, 3, 4, 5};
    GifInput in(shortTable, sizeof shortTable);
    EXPECT_THROW(map.LoadFromStream(in, 2), GIFException);
}

}  // namespace
}  // namespace pelko
