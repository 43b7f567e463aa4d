// Image data: the LZW and RLE code streams, sub-block packing, interlaced
// scan order, and how the decoder handles short, long and broken data.

#include <gtest/gtest.h>

#include "engine/gif/gif_decoder.h"
#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"
#include "gif_test_util.h"

namespace pelko {
namespace {

using test::Bytes;
using test::WarningLog;

// A one-frame image with a local map of `colors` entries.
struct OneFrame {
    TGIFImage image;
    TGIFSubImage* frame;
    OneFrame(int width, int height, int colors, const std::vector<std::uint8_t>& pixels,
             TGIFCompression compression = gcLZW, bool interlaced = false)
    {
        image.SetCompression(compression);
        frame = &test::addFrame(image, 0, 0, width, height, pixels);
        frame->ColorMap().ImportPalette(test::distinctColors(colors));
        frame->SetInterlaced(interlaced);
    }
    Bytes compress() const
    {
        GifOutput out;
        frame->Compress(out);
        return out.bytes();
    }
};

// Decodes image data with the codec's decoder.
std::vector<std::uint8_t> decode(const Bytes& data, int width, int height, bool interlaced,
                                 WarningLog* log = nullptr, std::uint8_t fill = 0)
{
    TGIFImage image;
    if (log)
        log->attach(image);
    TGIFSubImage sender(&image);
    GifInput in(data);
    std::vector<std::uint8_t> pixels;
    decodeGifImageData(in, &pixels, width, height, interlaced, fill, SIZE_MAX, sender);
    return pixels;
}

// Checks the sub-block layout: 255-byte blocks, a shorter last one, then 0.
void expectSubBlocks(const Bytes& data)
{
    std::size_t i = 1;
    while (i < data.size() && data[i] != 0) {
        const std::size_t n = data[i];
        i += 1 + n;
        if (i < data.size() && data[i] != 0)
            EXPECT_EQ(n, 255u) << "only the last data block may be short";
    }
    EXPECT_EQ(i, data.size() - 1);
    EXPECT_EQ(data.back(), 0);
}

TEST(GifData, RleEncodesARunOf64AsGrowingRuns)
{
    for (int colors : {16, 256}) {
        OneFrame f(8, 8, colors, std::vector<std::uint8_t>(64, 5), gcRLE);
        const Bytes data = f.compress();
        const int clear = colors, base = clear + 2;
        // The pixel, runs of 2..10 (base .. base + 8), a run of 9 (base + 7), end.
        std::vector<int> expected = {clear, 5};
        for (int n = 0; n <= 8; ++n) expected.push_back(base + n);
        expected.push_back(base + 7);
        expected.push_back(clear + 1);
        EXPECT_EQ(test::unpackCodes(data), expected) << colors;
        EXPECT_EQ(decode(data, 8, 8, false), std::vector<std::uint8_t>(64, 5));
    }
}

TEST(GifData, SmallMapsUseMinimumCodeSizeTwo)
{
    for (TGIFCompression c : {gcLZW, gcRLE}) {
        OneFrame f(3, 1, 2, {1, 0, 1}, c);
        const Bytes data = f.compress();
        EXPECT_EQ(data[0], 2);
        const std::vector<int> codes = test::unpackCodes(data);
        EXPECT_EQ(codes.front(), 4);
        EXPECT_EQ(codes.back(), 5);
        EXPECT_EQ(decode(data, 3, 1, false), (std::vector<std::uint8_t>{1, 0, 1}));
    }
}

TEST(GifData, CodesArePackedIn255ByteSubBlocks)
{
    std::mt19937 rng(7);
    const std::vector<std::uint8_t> noise = test::randomPixels(400, 256, rng);
    bool sawExactly255 = false;
    for (int n = 200; n <= 400; ++n) {
        OneFrame f(n, 1, 256, std::vector<std::uint8_t>(noise.begin(), noise.begin() + n));
        const Bytes data = f.compress();
        expectSubBlocks(data);
        if (data.size() == 1 + 1 + 255 + 1) {
            // Exactly 255 data bytes: one full block, then the terminator.
            EXPECT_EQ(data[1], 255);
            sawExactly255 = true;
        }
        EXPECT_EQ(decode(data, n, 1, false), f.frame->Data());
    }
    EXPECT_TRUE(sawExactly255);
}

TEST(GifData, LzwClearsAfterCode4094AtTwelveBits)
{
    std::mt19937 rng(3);
    OneFrame f(100, 60, 256, test::randomPixels(6000, 256, rng));
    const Bytes data = f.compress();
    const std::vector<int> codes = test::unpackCodes(data);
    ASSERT_EQ(data[0], 8);
    // Follow the table as a decoder would up to the second clear code.
    int nextFree = 258, width = 9;
    std::size_t i = 1;
    bool first = true;
    for (; i < codes.size() && codes[i] != 256; ++i) {
        EXPECT_LT(codes[i], 4095);
        if (first) {
            first = false;
            continue;
        }
        if (nextFree < 4096 && ++nextFree == (1 << width) && width < 12)
            ++width;
    }
    ASSERT_LT(i, codes.size()) << "no clear code after the table filled";
    EXPECT_EQ(width, 12);
    EXPECT_EQ(nextFree, 4095);
    EXPECT_EQ(decode(data, 100, 60, false), f.frame->Data());
}

TEST(GifData, InterlacedRowsAreWrittenPassByPass)
{
    OneFrame f(1, 3, 4, {0, 1, 2}, gcLZW, true);
    const Bytes data = f.compress();
    EXPECT_EQ(decode(data, 1, 3, false), (std::vector<std::uint8_t>{0, 2, 1}));
    EXPECT_EQ(decode(data, 1, 3, true), (std::vector<std::uint8_t>{0, 1, 2}));

    std::vector<std::uint8_t> rows(11);
    for (int y = 0; y < 11; ++y) rows[std::size_t(y)] = std::uint8_t(y);
    OneFrame g(1, 11, 16, rows, gcRLE, true);
    EXPECT_EQ(decode(g.compress(), 1, 11, false),
              (std::vector<std::uint8_t>{0, 8, 4, 2, 6, 10, 1, 3, 5, 7, 9}));
}

TEST(GifData, PixelOutsideTheMapStopsTheEncoderAndLeavesThePartialData)
{
    for (TGIFCompression c : {gcLZW, gcRLE}) {
        std::vector<std::uint8_t> pixels(2000);
        for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = std::uint8_t(i / 7 % 3);
        pixels[1500] = 3;  // the map has 3 colours
        OneFrame f(2000, 1, 3, pixels, c);
        GifOutput out;
        EXPECT_THROW(
            try { f.frame->Compress(out); } catch (const GIFException& e) {
                EXPECT_STREQ(e.what(), "Color not in color table");
                throw;
            },
            GIFException);
        // The code size byte and whole sub-blocks, but no terminator.
        const Bytes& data = out.bytes();
        ASSERT_GE(data.size(), 2u) << (c == gcRLE ? "RLE" : "LZW");
        std::size_t i = 1;
        while (i < data.size()) i += 1 + data[i];
        EXPECT_EQ(i, data.size());
        EXPECT_NE(data.back(), 0);
    }
}

TEST(GifData, EmptyFrameWritesOnlyAnEndCode)
{
    TGIFSubImage frame(nullptr);
    GifOutput out;
    frame.Compress(out);
    EXPECT_EQ(test::unpackCodes(out.bytes()), (std::vector<int>{5}));
}

TEST(GifData, DecoderKeepsTheFillValueWhenDataEndsEarly)
{
    WarningLog log;
    Bytes data = {2};
    test::appendSubBlocks(data, test::packCodes(2, {4, 1, 5}));
    EXPECT_EQ(decode(data, 4, 1, false, &log, 3), (std::vector<std::uint8_t>{1, 3, 3, 3}));
    EXPECT_TRUE(log.messages.empty());
}

TEST(GifData, DecoderWarnsAboutMissingEndCodeAndShortBlocks)
{
    WarningLog underrun;
    Bytes exact = {2};
    // Eight 3-bit codes fill exactly 3 bytes: 6 pixels, and no bits for an end code.
    test::appendSubBlocks(exact, test::packCodes(2, {1, 1, 4, 1, 1, 4, 1, 1}));
    ASSERT_EQ(exact.size(), 6u);
    EXPECT_EQ(decode(exact, 6, 1, false, &underrun), std::vector<std::uint8_t>(6, 1));
    EXPECT_EQ(underrun.count("Decoder bit buffer under-run"), 1);

    // A block that claims more bytes than the stream holds.
    WarningLog premature;
    Bytes cut = {2};
    const Bytes codes = test::packCodes(2, {4, 2, 2, 2, 2, 2, 5});
    cut.push_back(200);
    cut.insert(cut.end(), codes.begin(), codes.end());
    EXPECT_EQ(decode(cut, 5, 1, false, &premature), std::vector<std::uint8_t>(5, 2));
    EXPECT_EQ(premature.count("Premature end of data"), 1);
}

TEST(GifData, DecoderRefusesImpossibleCodes)
{
    struct Case {
        const char* what;
        int s;
        std::vector<int> codes;
    };
    for (const Case& c :
         {Case{"code size 12", 12, {4096, 0, 4097}}, Case{"code size 0", 0, {1, 0, 2}},
          Case{"code past the table", 2, {4, 1, 7, 5}}, Case{"first code not a colour", 2, {4, 6, 5}}}) {
        Bytes data = {std::uint8_t(c.s)};
        test::appendSubBlocks(data, test::packCodes(std::max(c.s, 1), c.codes));
        EXPECT_THROW(
            try { decode(data, 4, 1, false); } catch (const GIFException& e) {
                EXPECT_STREQ(e.what(), "Invalid GIF data");
                throw;
            },
            GIFException)
            << c.what;
    }
}

TEST(GifData, DecoderHandlesTheCodeBeingDefined)
{
    // 1; then code 6, defined by this very code: "1 1"; then 7 likewise: "1 1 1".
    Bytes data = {2};
    test::appendSubBlocks(data, test::packCodes(2, {4, 1, 6, 7, 5}));
    EXPECT_EQ(decode(data, 6, 1, false), std::vector<std::uint8_t>(6, 1));
}

TEST(GifData, RandomFramesRoundTripThroughBothEncoders)
{
    std::mt19937 rng(2024);
    for (int round = 0; round < 60; ++round) {
        const int colors = 2 + int(rng() % 255);
        const int width = 1 + int(rng() % 97);
        const int height = 1 + int(rng() % 41);
        const int runBias = int(rng() % 10);
        const auto pixels = test::randomPixels(std::size_t(width * height), colors, rng, runBias);
        for (TGIFCompression c : {gcLZW, gcRLE})
            for (bool interlaced : {false, true}) {
                OneFrame f(width, height, colors, pixels, c, interlaced);
                const Bytes data = f.compress();
                expectSubBlocks(data);
                ASSERT_EQ(decode(data, width, height, interlaced), pixels)
                    << "colors " << colors << " size " << width << "x" << height << " rle " << (c == gcRLE)
                    << " interlaced " << interlaced;
            }
    }
}

}  // namespace
}  // namespace pelko
