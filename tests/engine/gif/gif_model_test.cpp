// The image model: frame bounds and the logical screen, versions, the
// graphic control extension, application identifiers, copying and packing.

#include <gtest/gtest.h>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/gif_image.h"
#include "gif_test_util.h"

namespace pelko {
namespace {

using test::WarningLog;

TEST(GifModel, FrameBoundsGrowTheLogicalScreen)
{
    TGIFImage image;
    WarningLog log;
    log.attach(image);
    TGIFSubImage& first = test::addFrame(image, 0, 0, 10, 8, {});
    EXPECT_EQ(image.GetWidth(), 10);
    EXPECT_EQ(image.GetHeight(), 8);
    EXPECT_TRUE(log.messages.empty());
    EXPECT_EQ(first.Data().size(), 80u);  // zero-filled pixels come with the size

    test::addFrame(image, 5, 0, 10, 4, {});
    EXPECT_EQ(image.GetWidth(), 15);
    EXPECT_EQ(log.messages, (std::vector<std::string>{"Image width too small for contained frames",
                                                      "Image exceeds Logical Screen size"}));

    EXPECT_THROW(image.SetWidth(14), GIFException);
    EXPECT_THROW(image.SetHeight(7), GIFException);
    image.SetWidth(20);
    EXPECT_EQ(image.GetWidth(), 20);
}

TEST(GifModel, PixelAccessIsChecked)
{
    TGIFImage image;
    TGIFSubImage& frame = test::addFrame(image, 0, 0, 3, 2, {0, 1, 2, 3, 4, 5});
    EXPECT_EQ(*frame.GetPixel(2, 1), 5);
    EXPECT_EQ(frame.GetScanline(1)[0], 3);
    EXPECT_THROW(frame.GetPixel(3, 0), GIFException);
    EXPECT_THROW(frame.GetScanline(-1), GIFException);
    TGIFSubImage empty(&image);
    EXPECT_TRUE(empty.GetEmpty());
    EXPECT_THROW(empty.NeedImage(), GIFException);
}

TEST(GifModel, VersionDependsOnExtensionsAndSortedLocalMaps)
{
    TGIFImage image;
    EXPECT_EQ(image.GetVersion(), gvUnknown);
    EXPECT_THROW(
        try { image.SaveToBytes(); } catch (const GIFException& e) {
            EXPECT_STREQ(e.what(), "Unsupported GIF version");
            throw;
        },
        GIFException);

    image.GetColorMap().ImportPalette(test::distinctColors(2));
    TGIFSubImage& frame = test::addFrame(image, 0, 0, 2, 2, {0, 1, 1, 0});
    EXPECT_EQ(image.GetVersion(), gv87a);
    auto signature = [&] {
        const test::Bytes bytes = image.SaveToBytes();
        return std::string(bytes.begin(), bytes.begin() + 6);
    };
    EXPECT_EQ(signature(), "GIF87a");
    frame.Extensions().Add(std::make_unique<TGIFGraphicControlExtension>(&frame));
    EXPECT_EQ(signature(), "GIF89a");
    frame.Extensions().Clear();
    frame.ColorMap().ImportPalette(test::distinctColors(2));
    frame.ColorMap().SetOptimized(true);
    EXPECT_EQ(image.GetVersion(), gv89a);
}

TEST(GifModel, GraphicControlExtensionFieldsAndTransparency)
{
    TGIFImage image;
    WarningLog log;
    log.attach(image);
    image.GetColorMap().ImportPalette(test::distinctColors(4));
    TGIFSubImage& frame = test::addFrame(image, 0, 0, 1, 1, {0});
    auto owned = std::make_unique<TGIFGraphicControlExtension>(&frame);
    TGIFGraphicControlExtension* gce = owned.get();
    frame.Extensions().Add(std::move(owned));
    EXPECT_EQ(frame.GraphicControlExtension(), gce);
    EXPECT_EQ(gce->Body()[0], 4);

    gce->SetDelay(65535);
    gce->SetDisposal(dmPrevious);
    gce->SetUserInput(true);
    gce->SetTransparent(true);
    EXPECT_TRUE(frame.GetTransparent());
    EXPECT_TRUE(image.GetIsTransparent());
    EXPECT_EQ(gce->GetPacked(), 0x0F);
    EXPECT_EQ(gce->GetDelay(), 65535);
    EXPECT_EQ(gce->GetDisposal(), dmPrevious);

    gce->SetTransparentColorIndex(3);
    EXPECT_EQ(gce->GetTransparentColorIndex(), 3);
    gce->SetTransparentColorIndex(4);  // beyond the 4-colour map
    EXPECT_EQ(gce->GetTransparentColorIndex(), 0);
    EXPECT_EQ(log.count("Invalid color index"), 1);
    gce->SetTransparentColor(rgb(1, 2, 3));  // added to the active map
    EXPECT_EQ(gce->GetTransparentColorIndex(), 4);
    EXPECT_EQ(gce->GetTransparentColor(), rgb(1, 2, 3));

    // A second extension does not take over; deleting the first clears the
    // frame's reference and its transparency.
    frame.Extensions().Add(std::make_unique<TGIFGraphicControlExtension>(&frame));
    EXPECT_EQ(frame.GraphicControlExtension(), gce);
    frame.Extensions().Delete(0);
    EXPECT_EQ(frame.GraphicControlExtension(), nullptr);
    EXPECT_FALSE(frame.GetTransparent());
}

TEST(GifModel, FrameTimesBecomeDelaysInHundredthsRoundedDownWithinTheField)
{
    const struct {
        int ms, delay;
    } cases[] = {{0, 0},        {9, 0},          {19, 1},         {500, 50},
                 {32000, 3200}, {655359, 65535}, {700000, 65535}, {-30, 0}};
    for (const auto& c : cases) EXPECT_EQ(gifDelayOf(c.ms), c.delay) << c.ms << " ms";
}

TEST(GifModel, ApplicationIdentifiersArePaddedAndLoopsWritten)
{
    TGIFApplicationExtension app(nullptr);
    app.SetIdentifier("ABC");
    app.SetAuthentication("1");
    const std::uint8_t expected[11] = {'A', 'B', 'C', 0, ' ', ' ', ' ', ' ', '1', 0, ' '};
    EXPECT_TRUE(std::equal(expected, expected + 11, app.Identification().begin()));
    app.SetIdentifier("LONGERTHAN8");
    EXPECT_EQ(app.GetIdentifier(), "LONGERTH");

    TGIFAppExtNSLoop loop(nullptr);
    loop.SetLoops(0x1234);
    GifOutput out;
    loop.SaveToStream(out);
    const std::vector<std::uint8_t> plain = {0x21, 0xFF, 11,  'N', 'E', 'T', 'S',  'C',  'A', 'P',
                                             'E',  '2',  '.', '0', 3,   1,   0x34, 0x12, 0};
    EXPECT_EQ(out.bytes(), plain);
    loop.SetBufferSize(0x01020304);
    GifOutput out2;
    loop.SaveToStream(out2);
    EXPECT_EQ(std::vector<std::uint8_t>(out2.bytes().end() - 8, out2.bytes().end()),
              (std::vector<std::uint8_t>{0x12, 5, 2, 4, 3, 2, 1, 0}));
}

TEST(GifModel, AssignCopiesFramesAndSettingsButNotEncoderChoices)
{
    TGIFImage source;
    source.GetColorMap().ImportPalette(test::distinctColors(4));
    TGIFSubImage& f = test::addFrame(source, 1, 2, 2, 2, {0, 1, 2, 3});
    auto gce = std::make_unique<TGIFGraphicControlExtension>(&f);
    gce->SetDelay(7);
    gce->SetTransparent(true);
    f.Extensions().Add(std::move(gce));
    source.SetColorReduction(rmGrayScale);
    source.SetDitherMode(dmBurkes);
    source.SetReductionBits(4);
    source.SetCompression(gcRLE);
    source.OnWarning = [](const void*, TGIFSeverity, const std::string&) {};

    TGIFImage target;
    target.Assign(&source);
    EXPECT_EQ(target.GetColorReduction(), rmGrayScale);
    EXPECT_EQ(target.GetDitherMode(), dmBurkes);
    EXPECT_EQ(target.GetReductionBits(), GIFImageDefaultColorReductionBits);
    EXPECT_EQ(target.GetCompression(), GIFImageDefaultCompression);
    EXPECT_FALSE(target.OnWarning);
    ASSERT_EQ(target.Images().GetCount(), 1);
    const TGIFSubImage& copy = *target.Images().GetImage(0);
    EXPECT_EQ(copy.GetBoundsRect(), (TGIFRect{1, 2, 3, 4}));
    EXPECT_EQ(copy.Data(), f.Data());
    ASSERT_NE(copy.GraphicControlExtension(), nullptr);
    EXPECT_NE(copy.GraphicControlExtension(), f.GraphicControlExtension());
    EXPECT_EQ(copy.GraphicControlExtension()->GetDelay(), 7);
    EXPECT_TRUE(copy.GetTransparent());
    EXPECT_EQ(target.SaveToBytes(), source.SaveToBytes());

    EXPECT_THROW(target.SetReductionBits(9), GIFException);
    target.SetAnimationSpeed(5000);
    EXPECT_EQ(target.GetAnimationSpeed(), 1000);
}

TEST(GifModel, PackMovesASingleFramesLocalMapToTheGlobalMap)
{
    TGIFImage image;
    TGIFSubImage& f = test::addFrame(image, 0, 0, 1, 1, {1});
    f.ColorMap().ImportPalette(test::distinctColors(3));
    image.Pack();
    EXPECT_EQ(image.GetColorMap().GetCount(), 3);
    EXPECT_EQ(f.ColorMap().GetCount(), 0);
    EXPECT_EQ(&f.GetActiveColorMap(), &image.GetColorMap());
}

}  // namespace
}  // namespace pelko
