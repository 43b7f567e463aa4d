// Reading still pictures by extension, and the messages of failed reads.

#include <gtest/gtest.h>

#include <zlib.h>

#include <filesystem>

#include "engine/image/bmp_writer.h"
#include "engine/image/jpeg_codec.h"
#include "engine/image/picture_reader.h"
#include "engine/image/pixel_budget.h"
#include "engine/image/png_picture.h"
#include "engine/image/ppm.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using namespace pelko;
using pelko::test::TempDir;

namespace {

std::string readError(const std::string& path)
{
    try {
        readStillPicture(path);
    } catch (const PictureReadError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(PictureReader, KindByExtension)
{
    const std::pair<const char*, StillKind> cases[] = {
        {"a.bmp", StillKind::Bmp},   {"A.BMP", StillKind::Bmp},      {"b.jpg", StillKind::Jpeg},
        {"b.JPEG", StillKind::Jpeg}, {"c.Png", StillKind::Png},      {"d.ico", StillKind::Ico},
        {"e.GIF", StillKind::None},  {"f.png.bak", StillKind::None}, {"noext", StillKind::None},
    };
    for (const auto& [name, kind] : cases) EXPECT_EQ(stillKindOf(name), kind) << name;
}

TEST(PictureReader, ReadsEachKindAndReportsFailuresWithTheProgramsText)
{
    TempDir dir;
    Picture p(5, 4);
    p.setPixel(0, 3, rgb(255, 0, 0));
    writeFile(dir.file("p.BMP"), encodeBmp(p));
    writeFile(dir.file("p.png"), encodePngPicture(p));
    EXPECT_TRUE(readStillPicture(dir.file("p.BMP")) == p);
    EXPECT_TRUE(readStillPicture(dir.file("p.png")) == p);

    // The same damaged bytes under every extension; a vanished file reads like a damaged one.
    const std::vector<std::uint8_t> junk = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
    const std::pair<const char*, const char*> cases[] = {
        {"x.bmp", "This file is not BMP."},  {"x.jpg", "This file is not JPG."},
        {"x.jpeg", "This file is not JPG."}, {"x.png", "This file is not PNG."},
        {"x.ico", "This file is not ICO."},
    };
    for (const auto& [name, message] : cases) {
        writeFile(dir.file(name), junk);
        EXPECT_EQ(readError(dir.file(name)), message);
        EXPECT_EQ(readError(dir.file("gone_" + std::string(name))), message);
    }
    // Another extension: nothing is read, and the picture is empty.
    writeFile(dir.file("x.txt"), junk);
    EXPECT_TRUE(readStillPicture(dir.file("x.txt")).empty());
}

TEST(PictureReader, CorpusFilesOfEveryKind)
{
    const fs::path data = PELKO_TESTDATA;
    if (!fs::is_directory(data))
        GTEST_SKIP() << "test data folder " << data << " is absent";
    EXPECT_EQ(readStillPicture((data / "jpeg" / "grey.jpg").string()).width(), 128);
    EXPECT_EQ(readStillPicture((data / "ico" / "gen-8bpp-32.ico").string()).width(), 32);
    EXPECT_EQ(readStillPicture((data / "bmp" / "g" / "pal4rle.bmp").string()).width(), 127);
    EXPECT_EQ(readStillPicture((data / "pngsuite" / "basi0g02.png").string()).width(), 32);
    EXPECT_EQ(readError((data / "bmp" / "b" / "reallybig.bmp").string()), "This file is not BMP.");
    EXPECT_EQ(readError((data / "png-broken" / "ihdr-huge.png").string()), "This file is not PNG.");
}

TEST(PixelBudget, DefaultSettingAndMessage)
{
    EXPECT_EQ(pixelBudget().width, 10000);
    EXPECT_EQ(pixelBudget().height, 10000);
    EXPECT_TRUE(withinPixelBudget(10000, 10000));
    EXPECT_FALSE(withinPixelBudget(10001, 1));
    EXPECT_FALSE(withinPixelBudget(1, -1));
    EXPECT_EQ(pictureTooLargeMessage(16384, 16384), "picture too large: 16384 × 16384 (limit 10000 × 10000)");
    {
        // Lowered for a while; never above the canvas maximum, never below 1.
        ScopedPixelBudget low({200, 0});
        EXPECT_EQ(pixelBudget().width, 200);
        EXPECT_EQ(pixelBudget().height, 1);
        EXPECT_EQ(pictureTooLargeMessage(201, 1), "picture too large: 201 × 1 (limit 200 × 1)");
        setPixelBudget({20000, 20000});
        EXPECT_EQ(pixelBudget().width, 10000);
    }
    EXPECT_EQ(pixelBudget().height, 10000);
}

TEST(PictureReader, HeadersGiveTheSizeWithoutThePixels)
{
    // Every kind, whole and with its pixel data cut or damaged: the header
    // read gives the size either way, the decoder refuses the broken file.
    const Picture p(300, 20);
    const std::vector<std::uint8_t> png = encodePngPicture(p);
    std::vector<std::uint8_t> damagedPng(png.begin(), png.begin() + 33);  // signature and IHDR
    const std::vector<std::uint8_t> idat = {0, 0, 0, 4, 'I', 'D', 'A', 'T', 0x78, 0x9C, 0xFF, 0xFF};
    damagedPng.insert(damagedPng.end(), idat.begin(), idat.end());
    const std::uint32_t crc = std::uint32_t(crc32(0, idat.data() + 4, 8));
    for (int s = 24; s >= 0; s -= 8) damagedPng.push_back(std::uint8_t(crc >> s));
    damagedPng.insert(damagedPng.end(), png.end() - 12, png.end());  // IEND
    auto icoOf = [](const std::vector<std::uint8_t>& entry) {
        std::vector<std::uint8_t> ico = {0, 0, 1, 0, 1, 0, 44, 20, 0, 0, 1, 0, 32, 0};
        for (int i = 0; i < 4; ++i) ico.push_back(std::uint8_t(entry.size() >> (8 * i)));
        ico.insert(ico.end(), {22, 0, 0, 0});
        ico.insert(ico.end(), entry.begin(), entry.end());
        return ico;
    };
    const std::vector<std::uint8_t> bmp = encodeBmp(p), jpeg = encodeJpeg(p, 90);
    const std::vector<std::uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 44, 1, 20, 0, 0, 0, 0};
    const struct {
        PictureKind kind;
        StillKind still;
        std::vector<std::uint8_t> whole, broken;
    } cases[] = {
        {PictureKind::Bmp, StillKind::Bmp, bmp, {bmp.begin(), bmp.begin() + 154}},
        {PictureKind::Jpeg, StillKind::Jpeg, jpeg, {jpeg.begin(), jpeg.end() - 100}},
        {PictureKind::Png, StillKind::Png, png, damagedPng},
        {PictureKind::Ico, StillKind::Ico, icoOf(png), icoOf(damagedPng)},
        {PictureKind::Gif, StillKind::None, gif, gif},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(pictureKindName(c.kind));
        for (const std::vector<std::uint8_t>* bytes : {&c.whole, &c.broken}) {
            const PictureHeader h = readPictureHeader(c.kind, bytes->data(), bytes->size());
            EXPECT_EQ(h.kind, c.kind);
            EXPECT_EQ(h.width, 300);
            EXPECT_EQ(h.height, 20);
        }
        if (c.still != StillKind::None)
            EXPECT_THROW(decodeStillPicture(c.still, c.broken.data(), c.broken.size()), PictureReadError);
    }

    // Sizes beyond the budget are told, not refused; broken headers are refused with their reason.
    std::vector<std::uint8_t> wide = encodeBmp(Picture(1, 1));
    wide[18] = 0;
    wide[19] = 0x40;  // width 16384
    EXPECT_EQ(readPictureHeader(PictureKind::Bmp, wide.data(), wide.size()).width, 16384);
    try {
        decodeStillPicture(StillKind::Bmp, wide.data(), wide.size());
        ADD_FAILURE() << "decoded";
    } catch (const PictureReadError& e) {
        EXPECT_STREQ(e.what(), "This file is not BMP.");
        EXPECT_EQ(e.reason(), "picture too large: 16384 × 1 (limit 10000 × 10000)");
    }
    try {
        readPictureHeader(PictureKind::Gif, gif.data(), 4);
        ADD_FAILURE() << "read";
    } catch (const PictureReadError& e) {
        EXPECT_STREQ(e.what(), "This file is not GIF.");
        EXPECT_EQ(e.reason(), "Premature end of data");
    }
    EXPECT_EQ(pictureKindOf("a.GIF"), PictureKind::Gif);
    EXPECT_EQ(readPictureHeader("no-such-file.txt").kind, PictureKind::None);
}
