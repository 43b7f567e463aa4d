// What the animated GIF of a frame list holds, read back from the bytes the
// writer builds in memory.

#include <gtest/gtest.h>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/gif_settings.h"
#include "engine/output/write_animated_gif.h"
#include "engine/project/image_sources.h"
#include "support/given_pictures.h"
#include "support/picture_files.h"

using namespace pelko;
using namespace pelko::test;

namespace {

FrameRecord frame(int w, int h, std::uint16_t time, Color fill, Color corner)
{
    FrameRecord f;
    f.Width = w;
    f.Height = h;
    f.Time = time;
    Picture& image = givePicture(f, Picture(w, h));
    image.fill(fill);
    image.setPixel(0, 0, corner);
    return f;
}

Project twoFrames()
{
    Project p;
    p.settings.Type = ProjectGif;
    p.settings.Width = 40;
    p.settings.Height = 30;
    p.frames.append(frame(40, 30, 5, 0x0000FF, 0x00FF00));
    FrameRecord second = frame(20, 10, 32000, 0xFF0000, 0xFFFFFF);
    second.Left = 7;
    second.Top = 9;
    second.Gif.GIFTransparent = true;
    second.Gif.TransparentColor = 0xFFFFFF;
    second.Gif.DisposalMethod = 2;
    p.frames.append(std::move(second));
    return p;
}

// Every process-wide default of the codec, as one value.
struct CodecDefaults {
    TGIFDrawOptions drawOptions = GIFImageDefaultDrawOptions;
    TColorReduction colorReduction = GIFImageDefaultColorReduction;
    int colorReductionBits = GIFImageDefaultColorReductionBits;
    TDitherMode ditherMode = GIFImageDefaultDitherMode;
    TGIFCompression compression = GIFImageDefaultCompression;
    TGIFThreadPriority threadPriority = GIFImageDefaultThreadPriority;
    int animationSpeed = GIFImageDefaultAnimationSpeed;
    friend bool operator==(const CodecDefaults&, const CodecDefaults&) = default;
};

// Puts the defaults back as they were, whatever a test did to them.
struct KeepCodecDefaults {
    CodecDefaults saved;
    ~KeepCodecDefaults()
    {
        GIFImageDefaultDrawOptions = saved.drawOptions;
        GIFImageDefaultColorReduction = saved.colorReduction;
        GIFImageDefaultColorReductionBits = saved.colorReductionBits;
        GIFImageDefaultDitherMode = saved.ditherMode;
        GIFImageDefaultCompression = saved.compression;
        GIFImageDefaultThreadPriority = saved.threadPriority;
        GIFImageDefaultAnimationSpeed = saved.animationSpeed;
    }
};

// The animation's bytes, built in memory.
std::vector<std::uint8_t> gifBytes(const Project& p, const AnimatedGifOptions& o)
{
    std::optional<std::vector<std::uint8_t>> bytes = buildAnimatedGifBytes(p, o);
    if (!bytes)
        throw std::logic_error("cancelled with nothing to cancel it");
    return std::move(*bytes);
}

// The animation read back.
std::unique_ptr<TGIFImage> readBack(const std::vector<std::uint8_t>& bytes)
{
    auto image = std::make_unique<TGIFImage>();
    image->LoadFromBytes(bytes.data(), bytes.size());
    return image;
}

std::unique_ptr<TGIFImage> buildAndRead(const Project& p, const AnimatedGifOptions& o = {})
{
    return readBack(gifBytes(p, o));
}

Color pixelOf(const TGIFSubImage& sub, int x, int y)
{
    return sub.GetActiveColorMap().GetColor(
        sub.Data()[std::size_t(y) * std::size_t(sub.GetWidth()) + std::size_t(x)]);
}

}  // namespace

TEST(AnimatedGif, FramesDelaysLoopsAndTransparency)
{
    AnimatedGifOptions options;
    options.loops = 3;
    const std::vector<std::uint8_t> bytes = gifBytes(withGivenPictures(twoFrames()), options);
    TempDir dir;
    writeFile(dir.file("out.gif"), bytes);

    TGIFImage image;
    image.LoadFromFile(dir.file("out.gif"));
    EXPECT_EQ(image.GetWidth(), 40);
    EXPECT_EQ(image.GetHeight(), 30);
    ASSERT_EQ(image.Images().GetCount(), 2);
    const TGIFSubImage& a = *image.Images().GetImage(0);
    const TGIFSubImage& b = *image.Images().GetImage(1);
    ASSERT_NE(a.GraphicControlExtension(), nullptr);
    EXPECT_EQ(a.GraphicControlExtension()->GetDelay(), 0);     // 5 ms
    EXPECT_EQ(b.GraphicControlExtension()->GetDelay(), 3200);  // 32000 ms
    EXPECT_EQ(pixelOf(a, 0, 0), 0x00FF00u);
    EXPECT_EQ(pixelOf(a, 39, 29), 0x0000FFu);
    EXPECT_EQ(b.GetLeft(), 7);
    EXPECT_EQ(b.GetTop(), 9);
    EXPECT_EQ(b.GetWidth(), 20);
    EXPECT_EQ(int(b.GraphicControlExtension()->GetDisposal()), 2);
    ASSERT_TRUE(b.GraphicControlExtension()->GetTransparent());
    const int t = b.GraphicControlExtension()->GetTransparentColorIndex();
    EXPECT_EQ(b.Data()[0], t);  // the white corner is transparent
    EXPECT_EQ(pixelOf(b, 5, 5), 0xFF0000u);
    bool hasLoop = false;
    for (int i = 0; i < a.Extensions().GetCount(); ++i)
        if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(a.Extensions().GetExtension(i))) {
            hasLoop = true;
            EXPECT_EQ(loop->GetLoops(), 3);
        }
    EXPECT_TRUE(hasLoop);
}

TEST(AnimatedGif, FrameSizeDifferentFromItsImageKeepsItsPixels)
{
    // A stretched frame whose own size was set smaller than the canvas: the
    // descriptor takes Width x Height and the picture is cut, not blanked.
    Project p = twoFrames();
    p.frames[0].Width = 30;
    p.frames[0].Height = 20;
    auto image = buildAndRead(pinGivenPictures(p));
    const TGIFSubImage& a = *image->Images().GetImage(0);
    EXPECT_EQ(a.GetWidth(), 30);
    EXPECT_EQ(pixelOf(a, 0, 0), 0x00FF00u);
    EXPECT_EQ(pixelOf(a, 29, 19), 0x0000FFu);
}

TEST(AnimatedGif, BuildingAndReadingLeaveTheCodecDefaultsAlone)
{
    const KeepCodecDefaults keep;
    // Values that no frame below uses, so that any write shows.
    GIFImageDefaultColorReduction = rmWindows20;
    GIFImageDefaultColorReductionBits = 7;
    GIFImageDefaultDitherMode = dmBurkes;
    GIFImageDefaultCompression = gcRLE;
    GIFImageDefaultDrawOptions.Exclude(goLoop);
    const CodecDefaults before;

    Project p = twoFrames();
    p.frames[0].Gif.ColorDither = dmFloydSteinberg;
    p.frames[0].Gif.ColorReduction = rmQuantize;
    p.frames[0].Gif.ReductionBit = 5;
    p.frames[0].Gif.GIFCompression = gcRLE;
    p.frames[1].Gif.ColorDither = dmStucki;
    p.frames[1].Gif.ColorReduction = rmNetscape;
    p.frames[1].Gif.ReductionBit = 4;
    p.frames[1].Gif.GIFCompression = gcLZW;
    pinGivenPictures(p);
    TempDir dir;
    for (bool twoPasses : {false, true})
        for (int jobs : {1, 2}) {
            AnimatedGifOptions o;
            o.mergeColorMaps = o.crop = o.mergeSimilarities = twoPasses;
            o.jobs = jobs;
            writeFile(dir.file("out.gif"), gifBytes(p, o));
            EXPECT_TRUE(CodecDefaults() == before) << jobs << " threads, two passes " << twoPasses;
        }

    std::unique_ptr<SourceReader> reader = makeFileSourceReader();
    std::string error;
    const std::optional<GifSource> read = reader->readGif(dir.file("out.gif"), error);
    ASSERT_TRUE(read.has_value()) << error;
    EXPECT_EQ(read->frames.size(), 2u);
    EXPECT_TRUE(CodecDefaults() == before) << "after a read";
    writeFile(dir.file("bad.gif"), {'G', 'I', 'F', '8', '9', 'a', 1});
    EXPECT_FALSE(reader->readGif(dir.file("bad.gif"), error).has_value());
    EXPECT_TRUE(CodecDefaults() == before) << "after a failed read";
}

TEST(AnimatedGif, RealBlackStaysVisibleBesideTransparency)
{
    Project p;
    p.settings.Width = 4;
    p.settings.Height = 1;
    FrameRecord f = frame(4, 1, 100, 0x000000, 0xFFFFFF);  // black pixels, one white
    f.Gif.GIFTransparent = true;
    f.Gif.TransparentColor = 0xFFFFFF;
    p.frames.append(std::move(f));
    auto image = buildAndRead(pinGivenPictures(p));
    const TGIFSubImage& sub = *image->Images().GetImage(0);
    int controls = 0;
    for (int i = 0; i < sub.Extensions().GetCount(); ++i)
        controls += dynamic_cast<TGIFGraphicControlExtension*>(sub.Extensions().GetExtension(i)) != nullptr;
    EXPECT_EQ(controls, 1);
    const int t = sub.GraphicControlExtension()->GetTransparentColorIndex();
    EXPECT_EQ(sub.Data()[0], t);
    EXPECT_NE(sub.Data()[1], t);  // black is a colour here, not the hole
    EXPECT_EQ(sub.GraphicControlExtension()->GetDelay(), 10);
}

TEST(AnimatedGif, AFrameThatCannotBeConvertedRaisesItsErrorWithAnyNumberOfThreads)
{
    // Over 256 colours with no reduction: "Color table overflow" from the
    // middle frame, raised to the caller whether or not workers reduce it.
    Project p = twoFrames();
    FrameRecord many = frame(40, 30, 100, 0, 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) pictureOf(many).setPixel(x, y, rgb(std::uint8_t(x), std::uint8_t(y), 7));
    many.Gif.ColorReduction = rmNone;
    p.frames.insert(1, std::move(many));
    for (int jobs : {1, 2, 3}) {
        AnimatedGifOptions o;
        o.jobs = jobs;
        std::string error;
        try {
            buildAnimatedGifBytes(pinGivenPictures(p), o);
        } catch (const GIFException& e) {
            error = e.what();
        }
        EXPECT_EQ(error, "Color table overflow") << jobs << " threads";
    }
}

TEST(AnimatedGif, ThreadsNeverChangeTheBytes)
{
    Project p = twoFrames();
    for (int i = 0; i < 6; ++i) {
        FrameRecord f = frame(40, 30, std::uint16_t(100 + i), Color(0x102030 * (i + 1)), 0xFFFFFF);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                pictureOf(f).setPixel(x, y,
                                      rgb(std::uint8_t(x * 6 + i), std::uint8_t(y * 8), std::uint8_t(x * y)));
        f.Gif.ColorDither = std::uint8_t(i % 3);
        f.Gif.ReductionBit = 4 + i % 5;
        f.Gif.GIFTransparent = i % 2 == 0;
        f.Gif.TransparentColor = pictureOf(f).pixel(3, 3);
        p.frames.append(std::move(f));
    }
    pinGivenPictures(p);
    for (bool wholeAnimation : {false, true}) {
        AnimatedGifOptions o;
        o.mergeColorMaps = wholeAnimation;
        o.mergeSimilarities = wholeAnimation;
        o.jobs = 1;
        const std::vector<std::uint8_t> serial = gifBytes(p, o);
        const TDitherMode ditherAfterSerial = GIFImageDefaultDitherMode;
        for (int jobs : {2, 3, 8}) {
            o.jobs = jobs;
            EXPECT_EQ(gifBytes(p, o), serial) << jobs << " threads, whole animation " << wholeAnimation;
            EXPECT_EQ(GIFImageDefaultDitherMode, ditherAfterSerial);
        }
    }
}

TEST(AnimatedGif, TheLastFrameNamesTheCompressionOfTheWholeFile)
{
    Project p = twoFrames();
    pinGivenPictures(p);
    auto withCompression = [&](TGIFCompression first, TGIFCompression last) {
        p.frames[0].Gif.GIFCompression = first;
        p.frames[1].Gif.GIFCompression = last;
        return gifBytes(p, {});
    };
    const std::vector<std::uint8_t> lzw = withCompression(gcLZW, gcLZW);
    const std::vector<std::uint8_t> rle = withCompression(gcRLE, gcRLE);
    ASSERT_NE(lzw, rle);
    EXPECT_EQ(withCompression(gcRLE, gcLZW), lzw);
    EXPECT_EQ(withCompression(gcLZW, gcRLE), rle);
}

TEST(AnimatedGif, AFrameCroppedToNothingGoesAndItsTimeGoesToTheFrameBefore)
{
    Project p;
    p.settings.Type = ProjectGif;
    p.settings.Width = 40;
    p.settings.Height = 30;
    p.frames.append(frame(40, 30, 100, 0x0000FF, 0x00FF00));
    p.frames.append(frame(40, 30, 250, 0x0000FF, 0x00FF00));  // the same picture again
    p.frames.append(frame(40, 30, 70, 0xFF0000, 0x00FF00));
    for (FrameRecord& f : p.frames)
        f.Gif.ColorReduction = rmNone;  // maps of their own colours, with room for a transparent one
    pinGivenPictures(p);
    AnimatedGifOptions o;
    o.mergeSimilarities = true;
    o.crop = true;
    for (bool oneMap : {false, true}) {
        o.mergeColorMaps = oneMap;
        auto image = buildAndRead(p, o);
        ASSERT_EQ(image->Images().GetCount(), 2) << "one map " << oneMap;
        EXPECT_EQ(image->Images().GetImage(0)->GraphicControlExtension()->GetDelay(), 35);
        EXPECT_EQ(image->Images().GetImage(1)->GraphicControlExtension()->GetDelay(), 7);
    }
}

// Every option that shapes the bytes takes part in the comparison that
// decides whether the preview's bytes are the ones to save: changing any
// one of them changes the bytes, and the options no longer compare equal.
TEST(AnimatedGif, OptionsCompareUnequalWhenAnOptionThatShapesTheBytesDiffers)
{
    // Many colours (something to lose), the same picture with a small change
    // (something to merge), a transparent frame with one visible pixel
    // (something to cut down).
    Project p;
    p.settings.Type = ProjectGif;
    p.settings.Width = 40;
    p.settings.Height = 30;
    FrameRecord first = frame(40, 30, 100, 0, 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)  // 200 colours
            pictureOf(first).setPixel(x, y, rgb(std::uint8_t(x / 2 * 12), std::uint8_t(y / 3 * 25), 90));
    FrameRecord second = frame(40, 30, 100, 0, 0);
    pictureOf(second) = pictureOf(first);
    pictureOf(second).setPixel(20, 15, 0xFFFFFF);
    FrameRecord third = frame(40, 30, 100, 0xFFFFFF, 0x0000FF);
    third.Gif.GIFTransparent = true;
    third.Gif.TransparentColor = 0xFFFFFF;
    p.frames.append(std::move(first));
    p.frames.append(std::move(second));
    p.frames.append(std::move(third));
    for (FrameRecord& f : p.frames) f.Gif.ColorReduction = rmNone;  // every colour kept
    pinGivenPictures(p);
    // Frames with maps of their own are written in plain row order, so the
    // base has one map for the interlacing to show; and a strength, which
    // "best palette" shares out differently.
    AnimatedGifOptions base;
    base.mergeColorMaps = true;
    base.lossy = 30;
    const std::vector<std::uint8_t> baseBytes = gifBytes(p, base);
    const struct {
        const char* name;
        void (*change)(AnimatedGifOptions&);
    } changes[] = {
        {"mergeColorMaps", [](AnimatedGifOptions& o) { o.mergeColorMaps = false; }},
        {"crop", [](AnimatedGifOptions& o) { o.crop = true; }},
        {"interlaced", [](AnimatedGifOptions& o) { o.interlaced = true; }},
        {"mergeSimilarities", [](AnimatedGifOptions& o) { o.mergeSimilarities = true; }},
        {"loops", [](AnimatedGifOptions& o) { o.loops = 2; }},
        {"lossy", [](AnimatedGifOptions& o) { o.lossy = 80; }},
        {"bestPalette", [](AnimatedGifOptions& o) { o.bestPalette = true; }},
    };
    for (const auto& c : changes) {
        AnimatedGifOptions changed = base;
        c.change(changed);
        EXPECT_NE(gifBytes(p, changed), baseBytes) << c.name;
        EXPECT_FALSE(changed == base) << c.name;
    }
    // one lossy strength is not another
    AnimatedGifOptions weaker = base, stronger = base;
    weaker.lossy = 40;
    stronger.lossy = 41;
    EXPECT_FALSE(weaker == stronger);
}
