#include <gtest/gtest.h>

#include "engine/colour/bitmap_frame.h"
#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_extensions.h"
#include "engine/image/png_picture.h"

#include <algorithm>
#include <set>
#include <string>

namespace pelko {
namespace {

Bitmap trueColour(int w, int h, Color (*colour)(int, int))
{
    Bitmap b(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Color c = colour(x, y);
            std::uint8_t* p = b.scanline(y) + x * 3;
            p[0] = blueOf(c);
            p[1] = greenOf(c);
            p[2] = redOf(c);
        }
    return b;
}

// The picture through the PNG codec's bitmap and back.
Picture pngPictureRoundTrip(const Picture& picture)
{
    return pictureFromPngBitmap(pngBitmapFromPicture(picture));
}

std::vector<Color> mapColours(const TGIFColorMap& map)
{
    std::vector<Color> out;
    for (int i = 0; i < map.GetCount(); ++i)
        out.push_back(rgb(map.Entry(i).Red, map.Entry(i).Green, map.Entry(i).Blue));
    return out;
}

TEST(BitmapToFrame, TrueColourWithoutReductionKeepsFirstAppearanceOrder)
{
    // Colours recur out of order and beyond the ring's eight slots.
    static const Color five[] = {rgb(9, 9, 9), rgb(200, 0, 0), rgb(0, 200, 0), rgb(0, 0, 200),
                                 rgb(255, 255, 255)};
    TGIFImage image;
    image.SetColorReduction(rmNone);
    Bitmap b = trueColour(7, 5, [](int x, int y) { return five[(x * x + 3 * y) % 5]; });
    AddBitmap(image, b);
    const TGIFSubImage& f = *image.Images().GetImage(0);
    std::vector<Color> firstSeen;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            Color c = five[(x * x + 3 * y) % 5];
            if (std::find(firstSeen.begin(), firstSeen.end(), c) == firstSeen.end())
                firstSeen.push_back(c);
        }
    EXPECT_EQ(mapColours(f.ColorMap()), firstSeen);
    EXPECT_EQ(image.GetWidth(), 7);
    EXPECT_EQ(RenderFrame(f, false).toPicture(), b.toPicture());
}

TEST(BitmapToFrame, EmptyPicturesPassThroughEveryConversion)
{
    // A picture with a side of 0 has no pixels and null rows: nothing may be
    // copied from or to them.
    for (const auto& [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{0, 0}}) {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        Picture picture(w, h);
        picture.fill(rgb(1, 2, 3));
        const Bitmap bitmap = Bitmap::fromPicture(picture);
        EXPECT_EQ(bitmap.width(), w);
        EXPECT_EQ(bitmap.height(), h);
        EXPECT_TRUE(bitmap.empty());
        EXPECT_TRUE(bitmap.toPicture() == picture);
        EXPECT_TRUE(bitmap.converted(pf8bit).toPicture() == picture);
        TGIFImage image;
        TGIFSubImage frame(&image);
        AssignBitmap(frame, bitmap);
        EXPECT_TRUE(frame.GetEmpty());
        EXPECT_TRUE(pngPictureRoundTrip(picture).empty());
    }
}

TEST(BitmapToFrame, TooManyColoursOverflowAndLeaveTheFrameCleared)
{
    TGIFImage image;
    image.SetColorReduction(rmNone);
    Bitmap b =
        trueColour(17, 17, [](int x, int y) { return rgb(std::uint8_t(x), std::uint8_t(y), 0); });  // 289
    TGIFSubImage frame(&image);
    try {
        AssignBitmap(frame, b);
        FAIL() << "no error";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "Color table overflow");
    }
    EXPECT_TRUE(frame.GetEmpty());
    EXPECT_EQ(frame.ColorMap().GetCount(), 0);
}

TEST(BitmapToFrame, ReducedAndIndexedSources)
{
    TGIFImage image;
    image.SetColorReduction(rmMonochrome);
    AddBitmap(image, trueColour(4, 4, [](int x, int) { return x < 2 ? rgb(0, 0, 0) : rgb(250, 250, 250); }));
    const TGIFSubImage& reduced = *image.Images().GetImage(0);
    ASSERT_EQ(reduced.ColorMap().GetCount(), 256);  // the whole colour table
    EXPECT_EQ(reduced.Data()[3], 1);

    // 1 and 4-bit bitmaps are copied with their palette, not reduced.
    for (TPixelFormat format : {pf1bit, pf4bit}) {
        Bitmap b(11, 3, format);
        b.setPalette({rgb(1, 2, 3), rgb(4, 5, 6)});
        b.setIndex(10, 2, 1);
        b.setIndex(0, 1, 1);
        TGIFSubImage f(&image);
        AssignBitmap(f, b);
        EXPECT_EQ(f.ColorMap().GetCount(), 2);
        EXPECT_EQ(f.Data()[2 * 11 + 10], 1);
        EXPECT_EQ(f.Data()[11], 1);
        EXPECT_EQ(f.Data()[12], 0);
    }
}

TEST(BitmapToFrame, TransparentBitmapsGetATransparentIndex)
{
    TGIFImage image;
    image.SetColorReduction(rmNone);
    // White is the transparent colour: it becomes a new black entry.
    Bitmap b = trueColour(4, 3, [](int x, int y) { return x == y ? rgb(255, 255, 255) : rgb(10, 20, 30); });
    b.setTransparent(true);
    b.setTransparentColor(rgb(255, 255, 255));
    TGIFSubImage f(&image);
    AssignBitmap(f, b);
    ASSERT_TRUE(f.GetTransparent());
    const int t = f.GraphicControlExtension()->GetTransparentColorIndex();
    EXPECT_EQ(f.ColorMap().Entry(t), (TGIFColor{0, 0, 0}));
    EXPECT_EQ(f.Data()[0], t);
    EXPECT_NE(f.Data()[1], t);

    Bitmap rendered = RenderFrame(f, false);
    ASSERT_NE(rendered.mask(), nullptr);
    EXPECT_EQ(rendered.mask()->index(1, 1), 1);
    EXPECT_EQ(rendered.mask()->index(2, 1), 0);

    // No pixel of the transparent colour: no graphic control extension.
    Bitmap none = trueColour(4, 3, [](int, int) { return rgb(10, 20, 30); });
    none.setTransparent(true);
    none.setTransparentColor(rgb(255, 255, 255));
    AssignBitmap(f, none);
    EXPECT_FALSE(f.GetTransparent());
    EXPECT_EQ(f.Extensions().GetCount(), 0);
    EXPECT_EQ(f.ColorMap().GetCount(), 1);

    // A map of 256 colours has no room for a transparent entry.
    Bitmap full(16, 17, pf8bit);
    Palette pal(256);
    for (int i = 0; i < 256; ++i) pal[std::size_t(i)] = rgb(std::uint8_t(i), 0, 0);
    full.setPalette(pal);
    for (int i = 0; i < 256; ++i) full.setIndex(i % 16, i / 16, i);
    full.setTransparent(true);
    full.setTransparentColor(rgb(0, 0, 0));
    AssignBitmap(f, full);
    EXPECT_FALSE(f.GetTransparent());
    EXPECT_EQ(f.ColorMap().GetCount(), 256);
}

TEST(FrameToBitmap, DitheredRenderingMasksTransparentPixels)
{
    TGIFImage image;
    image.SetColorReduction(rmNone);
    Bitmap b = trueColour(9, 4, [](int x, int) { return x == 4 ? rgb(255, 255, 255) : rgb(100, 149, 237); });
    b.setTransparent(true);
    b.setTransparentColor(rgb(255, 255, 255));
    TGIFSubImage f(&image);
    AssignBitmap(f, b);
    Bitmap d = RenderFrame(f, true);
    EXPECT_EQ(d.palette()[215], rgb(255, 255, 255));
    ASSERT_NE(d.mask(), nullptr);
    std::set<int> used;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(d.mask()->index(x, y), x == 4 ? 1 : 0);
            if (x != 4)
                used.insert(d.index(x, y));
        }
    EXPECT_GT(used.size(), 1u);  // cornflower blue is not a web colour: a mixture
    // The fill of a transparent pixel is the web colour of the transparent entry (black).
    EXPECT_EQ(d.index(4, 0), 0);
}

TEST(ImageBitmap, PalettesAndStillPicture)
{
    TGIFImage image;
    EXPECT_TRUE(GetBitmap(image).empty());
    image.SetColorReduction(rmNone);
    Bitmap small = trueColour(2, 2, [](int x, int) { return x ? rgb(255, 0, 0) : rgb(0, 0, 255); });
    AddBitmap(image, small);
    EXPECT_EQ(GetBitmap(image).toPicture(), small.toPicture());

    // A frame that does not cover the screen is drawn at its place.
    image.Images().GetImage(0)->SetLeft(1);
    Bitmap still = GetBitmap(image);
    ASSERT_EQ(still.width(), 3);
    EXPECT_EQ(still.color(1, 0), rgb(0, 0, 255));
    EXPECT_EQ(still.color(2, 1), rgb(255, 0, 0));
    EXPECT_EQ(GetPalette(image), (Palette{rgb(0, 0, 255), rgb(255, 0, 0)}));

    // Neither a global nor a local table.
    image.Images().GetImage(0)->ColorMap().Clear();
    try {
        GetPalette(image);
        FAIL() << "no error";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), "No global or local color table defined");
    }
}

TEST(ImageBitmap, ClipboardDataRoundTrips)
{
    TGIFImage image;
    Bitmap none;
    EXPECT_TRUE(SaveToClipboardFormat(image, &none).empty());
    image.SetColorReduction(rmNone);
    Bitmap b =
        trueColour(3, 2, [](int x, int y) { return rgb(std::uint8_t(x * 80), std::uint8_t(y * 90), 7); });
    AddBitmap(image, b);
    Bitmap still;
    std::vector<std::uint8_t> gif = SaveToClipboardFormat(image, &still);
    EXPECT_EQ(still.toPicture(), b.toPicture());

    TGIFImage back;
    LoadFromClipboardFormat(back, cfGIF, &gif, nullptr);
    EXPECT_EQ(GetBitmap(back).toPicture(), b.toPicture());
    back.SetColorReduction(rmNone);
    LoadFromClipboardFormat(back, cfBitmap, nullptr, &b);
    EXPECT_EQ(back.Images().GetCount(), 1);
    EXPECT_THROW(LoadFromClipboardFormat(back, TClipboardFormat(1), &gif, &b), std::exception);
    EXPECT_THROW(NewDIBWriterBitmap(0, 3, pf8bit, {}), GIFException);
    EXPECT_THROW(NewDIBWriterBitmap(3, 3, pf4bit, {}), GIFException);
}

}  // namespace
}  // namespace pelko
