#include "engine/gif_options/gif_color_options.h"

#include <gtest/gtest.h>

#include <set>

#include "engine/gif/gif_settings.h"
#include "engine/gif_options/gif_color_preview.h"

namespace pelko {
namespace {

Project projectOf(int frames, std::vector<int> selected)
{
    Project p;
    for (int i = 0; i < frames; ++i) {
        FrameRecord f;
        f.File = "/f" + std::to_string(i);
        p.frames.append(f);
    }
    p.selection.assign(std::move(selected));
    return p;
}

TEST(GifColorOptions, ListsShowTheirValuesAndKeepTheItemForOthers)
{
    struct Case {
        std::optional<int> item, expected;
    };
    const Case cases[] = {
        {gifReductionItem(rmNetscape), 0},
        {gifReductionItem(rmQuantize), 6},
        {gifReductionItem(rmQuantizeWindows), 7},
        {gifReductionItem(rmNone), std::nullopt},
        {gifReductionItem(rmPalette), std::nullopt},
        {gifDitherItem(dmFloydSteinberg), 0},
        {gifDitherItem(dmNearest), 6},
        {gifDitherItem(dmBurkes), 5},
        {gifDitherItem(7), std::nullopt},
        {gifColorsItem(3), 0},
        {gifColorsItem(8), 5},
        {gifColorsItem(2), std::nullopt},
        {gifColorsItem(9), std::nullopt},
        {gifDisposalItem(3), 3},
        {gifDisposalItem(4), std::nullopt},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].item, cases[i].expected) << "case " << i;
}

TEST(GifColorOptions, SeveralFramesGetOnlyTheTouchedValues)
{
    Project p = projectOf(5, {3, 0, 2});
    p.frames[1].Gif.ColorDither = dmStucki;  // not selected
    GifFrameSettings working = p.frames[3].Gif;
    working.ColorDither = dmSierra;
    working.ColorReduction = rmMonochrome;  // shown but not touched
    GifOptionTouched touched = initialGifOptionTouched(3);
    EXPECT_FALSE(touched.any());
    touched.dither = true;

    EXPECT_TRUE(storeGifOptions(p, working, touched));
    EXPECT_TRUE(p.changed);
    for (int i : {0, 2, 3}) {
        GifFrameSettings expected = kDefaultGifFrameSettings;
        expected.ColorDither = dmSierra;
        EXPECT_EQ(p.frames[std::size_t(i)].Gif, expected) << i;
    }
    EXPECT_EQ(p.frames[1].Gif.ColorDither, dmStucki);
    EXPECT_EQ(p.frames[4].Gif, kDefaultGifFrameSettings);
}

TEST(GifColorOptions, PickedTransparentColourGoesToTheFirstSelectedFrameOnly)
{
    Project p = projectOf(4, {2, 0, 1});
    GifFrameSettings working = p.frames[2].Gif;
    working.GIFTransparent = true;
    GifOptionTouched touched = initialGifOptionTouched(3);
    touched.transparent = true;
    const std::vector<Color> palette{0x000000, 0x112233, 0x00FF00};
    ASSERT_TRUE(pickTransparentColor(working, palette, 1));

    EXPECT_TRUE(storeGifOptions(p, working, touched));
    EXPECT_EQ(p.frames[2].Gif.TransparentColor, 0x112233u);
    EXPECT_EQ(p.frames[2].Gif.TransparentColorIndex, 1);
    for (int i : {0, 1}) {
        EXPECT_TRUE(p.frames[std::size_t(i)].Gif.GIFTransparent);
        EXPECT_EQ(p.frames[std::size_t(i)].Gif.TransparentColor, 0xFFFFFFu);
        EXPECT_EQ(p.frames[std::size_t(i)].Gif.TransparentColorIndex, 0);
    }
    EXPECT_FALSE(p.frames[3].Gif.GIFTransparent);
}

TEST(GifColorOptions, OneFrameTakesEverythingAndChangesOnlyWhenSomethingDiffers)
{
    Project p = projectOf(2, {1});
    const GifOptionTouched touched = initialGifOptionTouched(1);
    EXPECT_TRUE(touched.reduction && touched.dither && touched.colors && touched.disposal &&
                touched.compression && touched.transparent);

    EXPECT_FALSE(storeGifOptions(p, p.frames[1].Gif, touched));
    EXPECT_FALSE(p.changed);

    GifFrameSettings working = p.frames[1].Gif;
    working.TransparentColorIndex = 7;  // the least of the eight still counts
    EXPECT_TRUE(storeGifOptions(p, working, touched));
    EXPECT_TRUE(p.changed);

    working = {dmBurkes, rmNetscape, 5, gcRLE, 2, 0x123456, 9, true};
    storeGifOptions(p, working, touched);
    EXPECT_EQ(p.frames[1].Gif, working);
    EXPECT_EQ(p.frames[0].Gif, kDefaultGifFrameSettings);
}

TEST(GifColorOptions, SeveralFramesWithNothingTouchedStoreNothingAndChangeNothing)
{
    Project p = projectOf(3, {0, 2});
    GifFrameSettings working = p.frames[0].Gif;
    working.ColorReduction = rmGrayScale;
    EXPECT_FALSE(storeGifOptions(p, working, initialGifOptionTouched(2)));
    EXPECT_FALSE(p.changed);
    EXPECT_EQ(p.frames[0].Gif, kDefaultGifFrameSettings);
}

TEST(GifColorOptions, PickNeedsTransparentAndACellWithAColour)
{
    GifFrameSettings working;
    const std::vector<Color> palette{0x010203, 0x040506};
    EXPECT_FALSE(pickTransparentColor(working, palette, 0));  // not transparent
    working.GIFTransparent = true;
    EXPECT_FALSE(pickTransparentColor(working, palette, 2));
    EXPECT_FALSE(pickTransparentColor(working, palette, -1));
    EXPECT_EQ(working.TransparentColor, 0xFFFFFFu);
    EXPECT_TRUE(pickTransparentColor(working, palette, 1));
    EXPECT_EQ(working.TransparentColor, 0x040506u);
    EXPECT_EQ(working.TransparentColorIndex, 1);
}

TEST(GifColorOptions, DefaultsKeepTheDisposalAndMarkEveryOtherControl)
{
    const GifFrameSettings working{dmBurkes, rmNetscape, 4, gcRLE, 3, 0x123456, 9, true};
    GifFrameSettings expected = kDefaultGifFrameSettings;
    expected.DisposalMethod = 3;
    EXPECT_EQ(gifOptionDefaults(working), expected);

    const GifOptionTouched t = touchedByDefaults(initialGifOptionTouched(2));
    EXPECT_TRUE(t.reduction && t.dither && t.colors && t.compression && t.transparent);
    EXPECT_FALSE(t.disposal);
}

TEST(GifColorOptions, CodecDefaultsStaySetAndRefuseValuesNoImageTakes)
{
    const auto saved = std::tuple{GIFImageDefaultColorReduction, GIFImageDefaultDitherMode,
                                  GIFImageDefaultColorReductionBits, GIFImageDefaultCompression};
    setGifCodecDefaults({dmStucki, rmGrayScale, 5, gcRLE, 0, 0, 0, false});
    EXPECT_EQ(GIFImageDefaultDitherMode, dmStucki);
    EXPECT_EQ(GIFImageDefaultColorReduction, rmGrayScale);
    EXPECT_EQ(GIFImageDefaultColorReductionBits, 5);
    EXPECT_EQ(GIFImageDefaultCompression, gcRLE);

    setGifCodecDefaults({99, 42, 12, 7, 0, 0, 0, false});
    EXPECT_EQ(GIFImageDefaultDitherMode, dmStucki);
    EXPECT_EQ(GIFImageDefaultColorReduction, rmGrayScale);
    EXPECT_EQ(GIFImageDefaultColorReductionBits, 5);
    EXPECT_EQ(GIFImageDefaultCompression, gcRLE);
    std::tie(GIFImageDefaultColorReduction, GIFImageDefaultDitherMode, GIFImageDefaultColorReductionBits,
             GIFImageDefaultCompression) = saved;
}

TEST(GifColorOptions, StillSettingsLeaveTheDisposalOut)
{
    const GifStillSettings s =
        gifStillSettingsOf({dmSierra, rmNetscape, 6, gcRLE, 2, 0x00FF00, 4, true}, false);
    EXPECT_EQ(s.gif, (GifFrameSettings{dmSierra, rmNetscape, 6, gcRLE, 0, 0x00FF00, 0, true}));
    EXPECT_FALSE(s.showAlways);
}

TEST(GifColorOptions, PaletteGridShape)
{
    struct Case {
        int count, columns, rows;
    };
    for (const Case c :
         {Case{0, 0, 0}, Case{2, 2, 1}, Case{8, 8, 1}, Case{16, 16, 1}, Case{17, 16, 2}, Case{256, 16, 16}}) {
        EXPECT_EQ(gifPaletteColumns(c.count), c.columns) << c.count;
        EXPECT_EQ(gifPaletteRows(c.count), c.rows) << c.count;
    }
}

// Four colours in quarters, one of them white.
Picture quarters(int w, int h)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y,
                       x < w / 2 ? (y < h / 2 ? 0x0000FF : 0x00FF00) : (y < h / 2 ? 0xFF0000 : 0xFFFFFF));
    return p;
}

// A gradient of many colours.
Picture gradient(int w, int h)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y, rgb(std::uint8_t(x * 255 / w), std::uint8_t(y * 255 / h), 90));
    return p;
}

TEST(GifColorPreview, BeforeIsTheTopLeftPartClippedToThePicture)
{
    const Picture q = quarters(40, 20);
    const Picture b = gifColorBefore(q, 10, 50);
    ASSERT_EQ(b.width(), 10);
    ASSERT_EQ(b.height(), 20);
    EXPECT_EQ(b.pixel(9, 0), 0x0000FFu);
    EXPECT_EQ(b.pixel(9, 19), 0x00FF00u);
}

TEST(GifColorPreview, OptimisedMapHoldsTheColoursUsedTheOtherAllEntries)
{
    const Picture q = quarters(32, 32);
    const GifFrameSettings quantize{dmFloydSteinberg, rmQuantize, 3, gcLZW, 0, 0xFFFFFF, 0, false};
    const GifColorPreview optimised = buildGifColorPreview(q, quantize, true, 0xC0C0C0);
    EXPECT_TRUE(optimised.error.empty());
    EXPECT_EQ(optimised.after, q);  // four colours survive 8-colour quantizing
    EXPECT_EQ(std::set<Color>(optimised.palette.begin(), optimised.palette.end()),
              (std::set<Color>{0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF}));

    const GifColorPreview plain = buildGifColorPreview(q, quantize, false, 0xC0C0C0);
    EXPECT_EQ(plain.palette.size(), 256u);
    EXPECT_EQ(plain.after, q);

    const GifFrameSettings mono{dmNearest, rmMonochrome, 8, gcLZW, 0, 0xFFFFFF, 0, false};
    EXPECT_EQ(buildGifColorPreview(gradient(64, 64), mono, true, 0).palette.size(), 2u);
    const std::size_t quantized = buildGifColorPreview(gradient(64, 64), quantize, true, 0).palette.size();
    EXPECT_LE(quantized, 8u);  // the colours of 2 ^ 3 that the dithered pixels use
    EXPECT_GE(quantized, 4u);
}

TEST(GifColorPreview, TransparentColourShowsTheBackground)
{
    const Picture q = quarters(20, 20);
    GifFrameSettings working{dmNearest, rmQuantize, 8, gcLZW, 0, 0xFFFFFF, 0, true};
    const GifColorPreview p = buildGifColorPreview(q, working, true, 0xC0C0C0);
    EXPECT_EQ(p.after.pixel(15, 15), 0xC0C0C0u);  // the white quarter
    EXPECT_EQ(p.after.pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(p.palette.size(), 4u);  // three colours and the transparent entry
}

TEST(GifColorPreview, SettingsTheCodecRefusesGiveTheReasonNotAPicture)
{
    const GifFrameSettings none{dmNearest, rmNone, 8, gcLZW, 0, 0xFFFFFF, 0, false};
    GifColorPreview p = buildGifColorPreview(gradient(40, 40), none, true, 0);
    EXPECT_EQ(p.error, "Color table overflow");
    EXPECT_TRUE(p.after.empty());
    EXPECT_TRUE(p.palette.empty());

    const GifFrameSettings badBits{dmNearest, rmQuantize, 12, gcLZW, 0, 0xFFFFFF, 0, false};
    p = buildGifColorPreview(gradient(4, 4), badBits, true, 0);
    EXPECT_FALSE(p.error.empty());
    EXPECT_TRUE(p.after.empty());
}

}  // namespace
}  // namespace pelko
