// Reading and writing whole streams: signature, trailer, extension runs,
// empty frames, descriptors, tables, failures part way (hostile sizes are in
// gif_hostile_test.cpp).

#include <gtest/gtest.h>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"
#include "gif_test_util.h"

namespace pelko {
namespace {

using test::Bytes;
using test::WarningLog;

// A 2x2 GIF with a 4-colour global map and one frame of pixels 0 1 2 3.
Bytes smallGif(const char* signature = "GIF89a")
{
    Bytes b = test::gifHeader(2, 2, 2, signature);
    test::appendImage(b, 0, 0, 2, 2, 0, 2, {4, 0, 1, 2, 3, 5});
    b.push_back(0x3B);
    return b;
}

void load(TGIFImage& image, const Bytes& bytes)
{
    image.LoadFromBytes(bytes.data(), bytes.size());
}

std::string errorOf(const Bytes& bytes)
{
    TGIFImage image;
    try {
        load(image, bytes);
    } catch (const GIFException& e) {
        return e.what();
    }
    return "";
}

TEST(GifStream, SignatureIsFoundAtTheStartOrFourBytesOn)
{
    for (const Bytes& b : {smallGif(), smallGif("gif89a"), smallGif("GIFxyz")}) {
        TGIFImage image;
        load(image, b);
        ASSERT_EQ(image.Images().GetCount(), 1);
        EXPECT_EQ(image.Images().GetImage(0)->Data(), (std::vector<std::uint8_t>{0, 1, 2, 3}));
    }
    Bytes prefixed = {1, 2, 3, 4};
    const Bytes plain = smallGif();
    prefixed.insert(prefixed.end(), plain.begin(), plain.end());
    TGIFImage image;
    load(image, prefixed);
    EXPECT_EQ(image.Images().GetCount(), 1);

    Bytes wrong = smallGif();
    wrong[2] = 'X';
    EXPECT_EQ(errorOf(wrong), "Invalid GIF signature");
    EXPECT_EQ(errorOf(Bytes(plain.begin(), plain.begin() + 9)), "Premature end of data");
}

TEST(GifStream, TrailerMayBeMissingButNotWrong)
{
    Bytes noTrailer = smallGif();
    noTrailer.pop_back();
    TGIFImage a;
    WarningLog logA;
    logA.attach(a);
    load(a, noTrailer);
    EXPECT_EQ(a.Images().GetCount(), 1);
    EXPECT_TRUE(logA.messages.empty());

    Bytes wrong = smallGif();
    wrong.back() = 0x99;
    TGIFImage b;
    WarningLog logB;
    logB.attach(b);
    load(b, wrong);
    EXPECT_EQ(b.Images().GetCount(), 1);
    EXPECT_EQ(logB.count("Invalid Image trailer"), 1);
}

TEST(GifStream, TrailingExtensionsBecomeAnEmptyFrameAndAreWrittenBack)
{
    Bytes b = test::gifHeader(2, 2, 2);
    test::appendImage(b, 0, 0, 2, 2, 0, 2, {4, 0, 1, 2, 3, 5});
    const Bytes comment = {0x21, 0xFE, 3, 'e', 'n', 'd', 0};
    b.insert(b.end(), comment.begin(), comment.end());
    b.push_back(0x3B);
    TGIFImage image;
    load(image, b);
    ASSERT_EQ(image.Images().GetCount(), 2);
    const TGIFSubImage& last = *image.Images().GetImage(1);
    EXPECT_TRUE(last.GetEmpty());
    ASSERT_EQ(last.Extensions().GetCount(), 1);
    EXPECT_EQ(static_cast<const TGIFCommentExtension*>(last.Extensions().GetExtension(0))->Text(),
              (std::vector<std::string>{"end"}));

    const Bytes written = image.SaveToBytes();
    EXPECT_TRUE(std::search(written.begin(), written.end(), comment.begin(), comment.end()) ==
                written.end() - 8);
    TGIFImage again;
    load(again, written);
    EXPECT_EQ(again.Images().GetCount(), 2);
}

TEST(GifStream, CommentLinesAreCutInto255ByteBlocks)
{
    TGIFImage image;
    image.GetColorMap().ImportPalette(test::distinctColors(2));
    TGIFSubImage& f = test::addFrame(image, 0, 0, 1, 1, {0});
    auto comment = std::make_unique<TGIFCommentExtension>(&f);
    comment->Text() = {std::string(300, 'x'), "", "tail"};
    f.Extensions().Add(std::move(comment));
    TGIFImage back;
    load(back, image.SaveToBytes());
    const auto* read =
        dynamic_cast<const TGIFCommentExtension*>(back.Images().GetImage(0)->Extensions().GetExtension(0));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Text(), (std::vector<std::string>{std::string(255, 'x'), std::string(45, 'x'), "tail"}));
}

TEST(GifStream, ZeroSizedDescriptorTakesTheScreenSize)
{
    Bytes b = test::gifHeader(3, 2, 1);
    test::appendImage(b, 0, 0, 0, 5, 0, 2, {4, 1, 1, 1, 1, 1, 1, 5});
    b.push_back(0x3B);
    TGIFImage image;
    WarningLog log;
    log.attach(image);
    load(image, b);
    ASSERT_EQ(image.Images().GetCount(), 1);
    EXPECT_EQ(image.Images().GetImage(0)->GetBoundsRect(), (TGIFRect{0, 0, 3, 2}));
    EXPECT_EQ(log.count("Image exceeds Logical Screen size"), 1);
}

TEST(GifStream, GraphicControlIsAlwaysSixBytesAndFillsTransparentFrames)
{
    Bytes b = test::gifHeader(4, 1, 2);
    // Block size 5, yet the body is read as 6 bytes: transparent index 2.
    const Bytes gce = {0x21, 0xF9, 5, 0x01, 3, 0, 2, 0};
    b.insert(b.end(), gce.begin(), gce.end());
    test::appendImage(b, 0, 0, 4, 1, 0, 2, {4, 1, 5});  // one pixel, then the end code
    b.push_back(0x3B);
    TGIFImage image;
    load(image, b);
    const TGIFSubImage& f = *image.Images().GetImage(0);
    ASSERT_NE(f.GraphicControlExtension(), nullptr);
    EXPECT_EQ(f.GraphicControlExtension()->Body()[0], 5);
    EXPECT_EQ(f.GraphicControlExtension()->GetDelay(), 3);
    EXPECT_TRUE(f.GetTransparent());
    EXPECT_EQ(f.Data(), (std::vector<std::uint8_t>{1, 2, 2, 2}));
}

TEST(GifStream, WritingRecomputesDescriptorsAndTables)
{
    TGIFImage image;
    image.GetColorMap().ImportPalette(test::distinctColors(3));
    image.GetColorMap().SetOptimized(true);
    TGIFSubImage& global = test::addFrame(image, 0, 0, 2, 3, {0, 1, 2, 0, 1, 2});
    global.SetInterlaced(true);
    TGIFSubImage& local = test::addFrame(image, 0, 0, 2, 3, {0, 1, 0, 1, 0, 1});
    local.ColorMap().ImportPalette(test::distinctColors(2, 5));
    local.SetInterlaced(true);
    const Bytes bytes = image.SaveToBytes();
    // Global flag, sort flag, resolution 1, table size 1 (4 entries).
    EXPECT_EQ(bytes[10], 0x80 | 0x08 | 0x10 | 0x01);
    EXPECT_EQ(bytes.size() > 13 + 12, true);
    EXPECT_EQ(bytes[13 + 12], 0x2C);
    EXPECT_TRUE(global.GetInterlaced());
    EXPECT_FALSE(local.GetInterlaced());  // a frame with its own table is written plainly

    TGIFImage back;
    load(back, bytes);
    EXPECT_FALSE(back.GetColorMap().GetOptimized());  // the sort flag is not kept
    EXPECT_EQ(back.GetColorMap().GetCount(), 4);
    EXPECT_TRUE(back.Images().GetImage(0)->GetInterlaced());
    EXPECT_EQ(back.Images().GetImage(0)->Data(), global.Data());
    EXPECT_FALSE(back.Images().GetImage(1)->GetInterlaced());
    EXPECT_EQ(back.Images().GetImage(1)->Data(), local.Data());
    EXPECT_EQ(back.SaveToBytes()[10] & 0x08, 0);

    TGIFImage noGlobal;
    test::addFrame(noGlobal, 0, 0, 1, 1, {0}).ColorMap().ImportPalette(test::distinctColors(2));
    EXPECT_EQ(noGlobal.SaveToBytes()[10] & 0x80, 0);
}

// Frames are compressed on several threads before they are written: the
// stream must be the one a single thread writes, with LZW and RLE, interlaced
// frames with and without their own table, an empty frame, and a frame whose
// pixels do not match its size failing at its place.
TEST(GifStream, FramesCompressedOnSeveralThreadsGiveTheSameStream)
{
    for (TGIFCompression compression : {gcLZW, gcRLE}) {
        auto make = [&](int threads, bool broken) {
            auto image = std::make_unique<TGIFImage>();
            image->SetCompression(compression);
            image->SetEncodeThreads(threads);
            image->GetColorMap().ImportPalette(test::distinctColors(16));
            std::mt19937 rng(7);
            for (int i = 0; i < 7; ++i) {
                TGIFSubImage& f = test::addFrame(*image, 0, 0, 40, 30, test::randomPixels(1200, 16, rng, i));
                f.SetInterlaced(i % 2 == 0);
                if (i % 3 == 1)
                    f.ColorMap().ImportPalette(test::distinctColors(16, std::uint32_t(i)));
            }
            test::addFrame(*image, 0, 0, 0, 0, {});  // empty
            if (broken)
                image->Images().GetImage(4)->Data().resize(10);
            return image;
        };
        const Bytes serial = make(1, false)->SaveToBytes();
        for (int threads : {2, 3, 8}) {
            EXPECT_EQ(make(threads, false)->SaveToBytes(), serial) << threads << " threads";
            EXPECT_THROW(make(threads, true)->SaveToBytes(), GIFException);
        }
        TGIFImage back;
        load(back, serial);
        EXPECT_EQ(back.Images().GetCount(), 7);  // the empty frame has nothing to write
        EXPECT_EQ(back.Images().GetImage(1)->Data(), make(1, false)->Images().GetImage(1)->Data());
    }
}

TEST(GifStream, FailureInTheThirdFrameKeepsTwoFramesAndRewinds)
{
    Bytes b = test::gifHeader(2, 1, 1);
    test::appendImage(b, 0, 0, 2, 1, 0, 2, {4, 0, 1, 5});
    test::appendImage(b, 0, 0, 2, 1, 0, 2, {4, 1, 0, 5});
    test::appendImage(b, 0, 0, 2, 1, 0, 12, {4096, 0, 4097});
    b.push_back(0x3B);
    TGIFImage image;
    GifInput in(b);
    EXPECT_THROW(image.LoadFromStream(in), GIFException);
    EXPECT_EQ(image.Images().GetCount(), 2);
    EXPECT_EQ(in.position(), 0u);
}

TEST(GifStream, ExtensionErrorsAndRecoveries)
{
    struct Case {
        const char* what;
        Bytes extension;
        const char* error;
    };
    const Case cases[] = {
        {"unknown label", {0x21, 0x2A, 1, 'x', 0}, "Unknown extension type"},
        {"application block too small",
         {0x21, 0xFF, 5, 'a', 'b', 'c', 'd', 'e', 0},
         "Unsupported Application Extension block size"},
        {"loop block too short",
         {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 2, 1, 0, 0},
         "Invalid GIF data"},
        {"text header cut", {0x21, 0x01, 12, 0, 0}, "Premature end of data"},
    };
    for (const Case& c : cases) {
        Bytes b = test::gifHeader(1, 1, 1);
        b.insert(b.end(), c.extension.begin(), c.extension.end());
        if (std::string(c.what) != "text header cut")
            test::appendImage(b, 0, 0, 1, 1, 0, 2, {4, 0, 5});
        EXPECT_EQ(errorOf(b), c.error) << c.what;
    }

    // A stray byte in the extension run ends the run with a warning.
    Bytes b = test::gifHeader(1, 1, 1);
    b.push_back(0x21);
    b.insert(b.end(), {0xFE, 1, 'c', 0});
    b.push_back(0x00);
    test::appendImage(b, 0, 0, 1, 1, 0, 2, {4, 1, 5});
    b.push_back(0x3B);
    TGIFImage image;
    load(image, b);
    EXPECT_EQ(image.Images().GetCount(), 2);  // the comment alone, then the image
}

TEST(GifStream, OddApplicationBlocksAreKeptAsRead)
{
    for (int size : {10, 11, 14}) {
        Bytes ext = {0x21, 0xFF, std::uint8_t(size)};
        for (int i = 0; i < size; ++i) ext.push_back(std::uint8_t('A' + i));
        ext.insert(ext.end(), {3, 'x', 'y', 'z', 1, '!', 0});
        Bytes b = test::gifHeader(1, 1, 1);
        b.insert(b.end(), ext.begin(), ext.end());
        test::appendImage(b, 0, 0, 1, 1, 0, 2, {4, 1, 5});
        b.push_back(0x3B);
        TGIFImage image;
        load(image, b);
        const auto* app = dynamic_cast<const TGIFUnknownAppExtension*>(
            image.Images().GetImage(0)->Extensions().GetExtension(0));
        ASSERT_NE(app, nullptr) << size;
        EXPECT_EQ(app->Blocks().size(), 2u);
        const Bytes written = image.SaveToBytes();
        EXPECT_NE(std::search(written.begin(), written.end(), ext.begin(), ext.end()), written.end()) << size;
    }
}

TEST(GifStream, ExtraDataAfterTheLastPixelIsSkipped)
{
    // The first frame's data goes on past its one pixel across several
    // sub-blocks; the second frame is still found.
    Bytes b = test::gifHeader(1, 1, 1);
    std::vector<int> codes = {4, 1};
    for (int i = 0; i < 300; ++i) codes.push_back(1);
    b.push_back(0x2C);
    b.insert(b.end(), {0, 0, 0, 0, 1, 0, 1, 0, 0, 2});
    test::appendSubBlocks(b, test::packCodes(2, codes), 20);
    test::appendImage(b, 0, 0, 1, 1, 0, 2, {4, 0, 5});
    b.push_back(0x3B);
    TGIFImage image;
    WarningLog log;
    log.attach(image);
    load(image, b);
    ASSERT_EQ(image.Images().GetCount(), 2);
    EXPECT_EQ(image.Images().GetImage(0)->Data(), (std::vector<std::uint8_t>{1}));
    EXPECT_EQ(image.Images().GetImage(1)->Data(), (std::vector<std::uint8_t>{0}));
    EXPECT_TRUE(log.messages.empty());
}

TEST(GifStream, ProgressIsReported)
{
    TGIFImage image;
    std::vector<std::pair<TProgressStage, int>> seen;
    image.OnProgress = [&](TProgressStage s, int p, const std::string& m) {
        EXPECT_EQ(m, "Loading...");
        seen.push_back({s, p});
    };
    load(image, smallGif());
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen.front(), std::make_pair(psStarting, 0));
    EXPECT_EQ(seen.back(), std::make_pair(psEnding, 100));
}

}  // namespace
}  // namespace pelko
