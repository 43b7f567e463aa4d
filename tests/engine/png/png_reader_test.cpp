// Reading PNG files: the suite against libpng, damaged files against the
// exception each must raise, and the conversion rules on small fixtures.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "engine/png/png_object.h"
#include "png_test_util.h"

namespace fs = std::filesystem;
using namespace pelko;
using namespace pelko::test;

namespace {

const fs::path kData = PELKO_TESTDATA;

#define SKIP_WITHOUT_TESTDATA(dir)      \
    if (!fs::is_directory(kData / dir)) \
    GTEST_SKIP() << "test data folder " << (kData / dir) << " is absent"

TPNGObject load(const std::vector<std::uint8_t>& f)
{
    TPNGObject png;
    png.LoadFromStream(f.data(), f.size());
    return png;
}

PngBitmap decoded(const std::vector<std::uint8_t>& f)
{
    PngBitmap b;
    load(f).AssignTo(b);
    return b;
}

// The gamma rule applied to libpng's output, for the comparison.
std::vector<std::uint8_t> applyGamma(std::vector<std::uint8_t> rgb, std::uint32_t g)
{
    if (g == 0)
        return rgb;
    std::uint8_t table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = std::uint8_t(std::lround(255.0 * std::pow(i / 255.0, 1.0 / (g / 100000.0 * 2.2))));
    for (auto& v : rgb) v = table[v];
    return rgb;
}

}  // namespace

TEST(PngSuite, ValidFilesDecodeLikeLibpng)
{
    SKIP_WITHOUT_TESTDATA("pngsuite");
    int files = 0;
    for (const auto& e : fs::directory_iterator(kData / "pngsuite")) {
        const std::string name = e.path().filename().string();
        if (e.path().extension() != ".png" || name[0] == 'x')
            continue;
        SCOPED_TRACE(name);
        const auto bytes = readBytes(e.path());
        const LibpngImage ref = decodeWithLibpng(bytes);
        ASSERT_TRUE(ref.ok);
        PngBitmap ours;
        ASSERT_NO_THROW(ours = decoded(bytes));
        ASSERT_EQ(ours.width, ref.width);
        ASSERT_EQ(ours.height, ref.height);
        EXPECT_TRUE(bitmapRgb(ours) == applyGamma(ref.rgb, ref.gamma));
        ++files;
    }
    EXPECT_GT(files, 150);
}

TEST(PngSuite, AlphaPlaneHoldsTheAlphaSamples)
{
    SKIP_WITHOUT_TESTDATA("pngsuite");
    for (const char* name :
         {"basn6a08.png", "basn4a16.png", "basi6a08.png", "basi4a08.png", "basn6a16.png"}) {
        SCOPED_TRACE(name);
        const auto bytes = readBytes(kData / "pngsuite" / name);
        const TPNGObject png = load(bytes);
        EXPECT_EQ(png.TransparencyMode(), ptmPartial);
        const auto& alpha = png.alphaPlane();
        const LibpngImage ref = decodeWithLibpng(bytes, true);
        ASSERT_EQ(alpha.size(), ref.rgb.size() / 4);
        for (std::size_t i = 0; i < alpha.size(); ++i)
            ASSERT_EQ(alpha[i], ref.rgb[4 * i + 3]) << "pixel " << i;
    }
}

TEST(PngSuite, TransparencyModes)
{
    SKIP_WITHOUT_TESTDATA("pngsuite");
    struct Case {
        const char* name;
        TPNGTransparencyMode mode;
    } cases[] = {
        {"basn2c08.png", ptmNone}, {"tbrn2c08.png", ptmBit},     {"tbbn0g04.png", ptmBit},
        {"tp1n3p08.png", ptmBit},  {"tm3n3p02.png", ptmPartial}, {"basn3p08.png", ptmNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TPNGObject png = load(readBytes(kData / "pngsuite" / c.name));
        EXPECT_EQ(png.TransparencyMode(), c.mode);
        PngBitmap b;
        png.AssignTo(b);
        EXPECT_EQ(b.transparent, c.mode == ptmBit);
    }
}

TEST(PngBroken, EachFileFailsWithItsException)
{
    SKIP_WITHOUT_TESTDATA("png-broken");
    // The exception a file must raise; an empty checker means "any failure".
    using Check = std::function<void(const std::vector<std::uint8_t>&)>;
    auto raises = [](auto tag) {
        using E = decltype(tag);
        return Check([](const std::vector<std::uint8_t>& f) { EXPECT_THROW(load(f), E); });
    };
    auto anyFailure = Check([](const std::vector<std::uint8_t>& f) { EXPECT_ANY_THROW(load(f)); });
    auto decodes = Check([](const std::vector<std::uint8_t>& f) { EXPECT_NO_THROW(load(f)); });
    auto either = Check([](const std::vector<std::uint8_t>& f) {
        try {
            load(f);
        } catch (const std::runtime_error&) {
        }
    });
    const std::pair<const char*, Check> cases[] = {
        {"pngsuite/xs1n0g01.png", raises(EPNGInvalidFileHeader(1))},
        {"pngsuite/xs2n0g01.png", raises(EPNGInvalidFileHeader(1))},
        {"pngsuite/xs4n0g01.png", raises(EPNGInvalidFileHeader(1))},
        {"pngsuite/xs7n0g01.png", raises(EPNGInvalidFileHeader(1))},
        {"pngsuite/xcrn0g04.png", anyFailure},
        {"pngsuite/xlfn0g04.png", anyFailure},
        {"pngsuite/xhdn0g08.png", raises(EPngInvalidCRC(1))},
        {"pngsuite/xcsn0g01.png", raises(EPngInvalidCRC(1))},
        {"pngsuite/xc1n0g08.png", raises(EPngError(1))},
        {"pngsuite/xc9n2c08.png", raises(EPngError(1))},
        {"pngsuite/xd0n2c08.png", raises(EPngError(1))},
        {"pngsuite/xd3n2c08.png", raises(EPngError(1))},
        {"pngsuite/xd9n2c08.png", raises(EPngError(1))},
        {"pngsuite/xdtn0g01.png", raises(EPNGNoImageData(1))},
        {"png-broken/empty.png", raises(EPNGInvalidFileHeader(1))},
        {"png-broken/trunc-signature-only.png", raises(EPngUnexpectedEnd(1))},
        {"png-broken/sig-is-a-gif.png", raises(EPNGInvalidFileHeader(1))},
        {"png-broken/crc-idat.png", raises(EPngInvalidCRC(1))},
        {"png-broken/crc-ancillary-gama.png", raises(EPngInvalidCRC(1))},
        {"png-broken/trunc-in-idat.png", raises(EPngUnexpectedEnd(1))},
        {"png-broken/trunc-no-iend.png", either},
        {"png-broken/bad-zlib-data.png", raises(EPNGZLIBError(1))},
        {"png-broken/bad-zlib-adler.png", either},
        {"png-broken/idat-too-short.png", raises(EPNGMissingMultipleIDAT(1))},
        {"png-broken/idat-too-long.png", decodes},
        {"png-broken/no-idat-empty-zlib.png", anyFailure},
        {"png-broken/bad-filter-type.png", decodes},
        {"png-broken/unknown-critical-chunk.png", raises(EPNGUnknownCriticalChunk(1))},
        {"png-broken/unknown-ancillary-chunk.png", decodes},
        {"png-broken/ihdr-not-first.png", raises(EPNGIHDRNotFirst(1))},
        {"png-broken/ihdr-zero-width.png", raises(EPngError(1))},
        {"png-broken/ihdr-huge.png", raises(EPNGSizeExceeds(1))},
        {"png-broken/ihdr-bad-interlace.png", raises(EPNGUnknownInterlace(1))},
        {"png-broken/palette-missing.png", raises(EPNGInvalidPalette(1))},
        {"png-broken/palette-index-out-of-range.png", either},
        {"png-broken/trns-too-long.png", either},
    };
    for (const auto& [name, check] : cases) {
        SCOPED_TRACE(name);
        const auto path = kData / name;
        ASSERT_TRUE(fs::exists(path));
        check(readBytes(path));
    }
}

TEST(PngBroken, MessagesAreTheProgramsTexts)
{
    const std::vector<std::uint8_t> notPng = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0};
    try {
        load(notPng);
        FAIL();
    } catch (const EPNGInvalidFileHeader& e) {
        EXPECT_STREQ(e.what(),
                     "The file being readed is not a valid \"Portable Network Graphics\" image because it "
                     "contains an invalid header. This file may be corruped, try obtaining it again.");
    }
    // Reserved deflate block type: inflate reports a data error.
    auto f = makePng(ihdrData(1, 1, 8, 0), {}, {0, 0});
    std::vector<std::uint8_t> bad = {0x78, 0x9C, 0x07, 0x00};
    std::vector<std::uint8_t> file = {137, 80, 78, 71, 13, 10, 26, 10};
    addChunk(file, "IHDR", ihdrData(1, 1, 8, 0));
    addChunk(file, "IDAT", bad);
    addChunk(file, "IEND", {});
    try {
        load(file);
        FAIL();
    } catch (const EPNGZLIBError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Could not decompress the image because it contains invalid compressed data.\r\n "
                  "Description: data error (-3)");
    }
}

TEST(PngRead, TwoBitGreyWidensToFourBitIndices)
{
    // One row: samples 0, 1, 2, 3 packed into one byte, filter None.
    const auto f = makePng(ihdrData(4, 1, 2, 0), {}, {0, 0b00011011});
    const PngBitmap b = decoded(f);
    ASSERT_EQ(b.bitsPerPixel, 4);
    ASSERT_EQ(b.palette.size(), 16u);
    EXPECT_EQ(b.scanLine(0)[0], 0x05);
    EXPECT_EQ(b.scanLine(0)[1], 0xAF);
    EXPECT_EQ(bitmapRgb(b), (std::vector<std::uint8_t>{0, 0, 0, 85, 85, 85, 170, 170, 170, 255, 255, 255}));

    // Palette indices keep their values.
    const auto p =
        makePng(ihdrData(4, 1, 2, 3), {{"PLTE", {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}}}, {0, 0b00011011});
    const PngBitmap pb = decoded(p);
    EXPECT_EQ(pb.scanLine(0)[0], 0x01);
    EXPECT_EQ(pb.scanLine(0)[1], 0x23);
}

TEST(PngRead, GammaTable)
{
    struct Case {
        std::uint32_t gamma;  // 0: no gAMA chunk
        std::uint8_t stored, read;
    } cases[] = {{100000, 128, 186}, {45455, 128, 128}, {45455, 37, 37},
                 {0, 128, 128},      {100000, 0, 0},    {100000, 255, 255}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gamma);
        std::vector<std::pair<const char*, std::vector<std::uint8_t>>> before;
        if (c.gamma) {
            std::vector<std::uint8_t> g;
            put32(g, c.gamma);
            before.push_back({"gAMA", g});
        }
        const PngBitmap b = decoded(makePng(ihdrData(1, 1, 8, 2), before, {0, c.stored, c.stored, c.stored}));
        EXPECT_EQ(bitmapRgb(b), (std::vector<std::uint8_t>{c.read, c.read, c.read}));
    }
}

TEST(PngRead, SizeAndImageDataChecks)
{
    // A claimed 10000 x 10000 picture with a few bytes of data fails before allocating.
    EXPECT_THROW(load(makePng(ihdrData(10000, 10000, 8, 6), {}, {0, 1, 2, 3, 4})), EPNGMissingMultipleIDAT);
    EXPECT_THROW(load(makePng(ihdrData(65536, 1, 8, 0), {}, {0, 1})), EPNGSizeExceeds);
    // Pictures beyond the reader's limits are refused from IHDR, even with enough data.
    const auto wide = makePng(ihdrData(64, 64, 8, 0), {}, std::vector<std::uint8_t>(64 * 65, 0));
    TPNGObject limited;
    limited.MaxWidth = 64;
    limited.MaxHeight = 63;
    try {
        limited.LoadFromStream(wide.data(), wide.size());
        ADD_FAILURE() << "no exception";
    } catch (const EPNGSizeExceeds& e) {
        EXPECT_STREQ(e.what(), "picture too large: 64 × 64 (limit 64 × 63)");
    }
    limited.MaxHeight = 64;
    EXPECT_NO_THROW(limited.LoadFromStream(wide.data(), wide.size()));
    // Forbidden combinations.
    EXPECT_THROW(load(makePng(ihdrData(1, 1, 16, 3), {{"PLTE", {0, 0, 0}}}, {0, 0, 0})), EPngError);
    EXPECT_THROW(load(makePng(ihdrData(1, 1, 4, 2), {}, {0, 0, 0})), EPngError);
    // Short IHDR.
    std::vector<std::uint8_t> f = {137, 80, 78, 71, 13, 10, 26, 10};
    addChunk(f, "IHDR", {0, 0, 0, 1, 0, 0, 0, 1, 8});
    EXPECT_THROW(load(f), EPngInvalidIHDR);
    // Rows missing after the stream ends, with more chunks following.
    EXPECT_THROW(load(makePng(ihdrData(2, 3, 8, 0), {}, {0, 1, 2, 0, 3, 4})), EPNGMissingMultipleIDAT);
    // Palette longer than 256 entries, or not a multiple of 3.
    EXPECT_THROW(load(makePng(ihdrData(1, 1, 8, 3), {{"PLTE", std::vector<std::uint8_t>(771)}}, {0, 0})),
                 EPNGInvalidPalette);
    EXPECT_THROW(load(makePng(ihdrData(1, 1, 8, 3), {{"PLTE", {1, 2}}}, {0, 0})), EPNGInvalidPalette);
}

TEST(PngRead, IdatSplitAcrossChunksAndFilters)
{
    // Three rows of RGB with Sub, Up and Paeth, the compressed data cut into 1-byte IDAT chunks.
    const std::vector<std::uint8_t> rows = {1, 10, 20, 30, 5, 5, 5,  //
                                            2, 1,  1,  1,  1, 1, 1,  //
                                            4, 0,  0,  0,  0, 0, 0};
    const auto z = deflateBytes(rows);
    std::vector<std::uint8_t> f = {137, 80, 78, 71, 13, 10, 26, 10};
    addChunk(f, "IHDR", ihdrData(2, 3, 8, 2));
    for (std::uint8_t byte : z) addChunk(f, "IDAT", {byte});
    addChunk(f, "IEND", {});
    const PngBitmap b = decoded(f);
    EXPECT_EQ(bitmapRgb(b), (std::vector<std::uint8_t>{10, 20, 30, 15, 25, 35, 11, 21, 31, 16, 26, 36, 11, 21,
                                                       31, 16, 26, 36}));
}
