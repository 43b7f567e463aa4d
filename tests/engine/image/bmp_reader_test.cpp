// The BMP reader against the BMP suite's reference pictures, its damaged
// files, and small hand-made bitmaps for RLE and bit fields.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "engine/image/bmp_reader.h"
#include "engine/image/bmp_writer.h"
#include "engine/image/png_picture.h"
#include "engine/image/ppm.h"

namespace fs = std::filesystem;
using namespace pelko;

namespace {

const fs::path kBmp = fs::path(PELKO_TESTDATA) / "bmp";

Picture readBmp(const fs::path& p)
{
    const auto bytes = readFile(p.string());
    return decodeBmp(bytes.data(), bytes.size());
}

Picture readPng(const fs::path& p)
{
    const auto bytes = readFile(p.string());
    return decodePngPicture(bytes.data(), bytes.size());
}

// A BMP file around an info header, colour table and pixel bytes.
std::vector<std::uint8_t> bmpFile(int w, int h, int bits, std::uint32_t compression, std::uint32_t colorsUsed,
                                  const std::vector<std::uint8_t>& extra,
                                  const std::vector<std::uint8_t>& pixels)
{
    std::vector<std::uint8_t> f(54, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) f[at + i] = std::uint8_t(v >> (8 * i));
    };
    f[0] = 'B';
    f[1] = 'M';
    put32(10, std::uint32_t(54 + extra.size()));
    put32(14, 40);
    put32(18, std::uint32_t(w));
    put32(22, std::uint32_t(h));
    f[26] = 1;
    f[28] = std::uint8_t(bits);
    put32(30, compression);
    put32(46, colorsUsed);
    f.insert(f.end(), extra.begin(), extra.end());
    f.insert(f.end(), pixels.begin(), pixels.end());
    put32(2, std::uint32_t(f.size()));
    return f;
}

Picture decode(const std::vector<std::uint8_t>& f)
{
    return decodeBmp(f.data(), f.size());
}

}  // namespace

TEST(BmpSuite, GoodFilesMatchTheReferencePictures)
{
    if (!fs::is_directory(kBmp))
        GTEST_SKIP() << "test data folder " << kBmp << " is absent";
    const std::pair<const char*, const char*> cases[] = {
        {"pal1", "pal1"},
        {"pal1wb", "pal1"},
        {"pal1bg", "pal1bg"},
        {"pal4", "pal4"},
        {"pal4rle", "pal4"},
        {"pal8", "pal8"},
        {"pal8-0", "pal8"},
        {"pal8rle", "pal8"},
        {"pal8topdown", "pal8"},
        {"pal8os2", "pal8"},
        {"pal8v4", "pal8"},
        {"pal8v5", "pal8"},
        {"pal8w124", "pal8w124"},
        {"pal8w125", "pal8w125"},
        {"pal8w126", "pal8w126"},
        {"pal8nonsquare", "pal8nonsquare-e"},
        {"rgb16", "rgb16"},
        {"rgb16-565", "rgb16-565"},
        {"rgb16-565pal", "rgb16-565"},
        {"rgb24", "rgb24"},
        {"rgb24pal", "rgb24"},
        {"rgb32", "rgb24"},
        {"rgb32bf", "rgb24"},
    };
    for (const auto& [file, ref] : cases) {
        SCOPED_TRACE(file);
        const Picture got = readBmp(kBmp / "g" / (std::string(file) + ".bmp"));
        const Picture want = readPng(kBmp / "reference" / (std::string(ref) + ".png"));
        ASSERT_EQ(got.width(), want.width());
        ASSERT_EQ(got.height(), want.height());
        // The references of the 8-bit pictures carry a few palette values one
        // step off the files' own tables (0x2A for 0x2B): allow that step.
        int worst = 0;
        for (std::size_t i = 0; i < got.byteSize(); ++i)
            worst = std::max(worst, std::abs(int(got.data()[i]) - int(want.data()[i])));
        EXPECT_LE(worst, std::string(ref).rfind("pal8", 0) == 0 ? 1 : 0);
    }
}

TEST(BmpSuite, QuestionableFilesDecodeOrFailCleanlyAndBadOnesFail)
{
    if (!fs::is_directory(kBmp))
        GTEST_SKIP() << "test data folder " << kBmp << " is absent";
    for (const char* folder : {"q", "extra"})
        for (const auto& e : fs::directory_iterator(kBmp / folder)) {
            SCOPED_TRACE(e.path().string());
            try {
                readBmp(e.path());
            } catch (const BmpError&) {
            }
        }
    // The files that decode here are valid apart from header fields we do not use,
    // or (badrle) hold runs that are clipped at the edge of the picture.
    const std::set<std::string> decodable = {"baddens1.bmp",    "baddens2.bmp",     "badfilesize.bmp",
                                             "badbitssize.bmp", "pal8badindex.bmp", "badpalettesize.bmp",
                                             "badrle.bmp"};
    for (const auto& e : fs::directory_iterator(kBmp / "b")) {
        const std::string name = e.path().filename().string();
        SCOPED_TRACE(name);
        if (decodable.count(name))
            EXPECT_NO_THROW(readBmp(e.path()));
        else
            EXPECT_THROW(readBmp(e.path()), BmpError);
    }
    // The suite's other valid pictures.
    EXPECT_EQ(readBmp(kBmp / "extra" / "hopper_rle8.bmp").width(), 128);
    EXPECT_EQ(readBmp(kBmp / "extra" / "hopper_rle8_grayscale.bmp").width(), 256);
    for (const char* q : {"pal2.bmp", "pal8os2v2.bmp", "pal8os2v2-16.bmp", "rgb32h52.bmp", "rgba32h56.bmp",
                          "rgba32abf.bmp", "rgb16-231.bmp", "rgb32-111110.bmp", "pal8offs.bmp"})
        EXPECT_NO_THROW(readBmp(kBmp / "q" / q)) << q;
    EXPECT_THROW(readBmp(kBmp / "q" / "rgb24jpeg.bmp"), BmpError);
    EXPECT_THROW(readBmp(kBmp / "q" / "rgb24png.bmp"), BmpError);
}

TEST(BmpRead, RleRunsEscapesAndClipping)
{
    // Colours 0 black, 1 red, 2 green, 3 blue.
    const std::vector<std::uint8_t> palette = {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
    const std::vector<std::uint8_t> rle = {
        4, 1, 0, 0,              // bottom row: four reds, end of line
        0, 3, 2, 1, 2, 0, 0, 0,  // absolute green, red, green (padded); the last pixel is skipped
        0, 2, 1, 0, 9, 3, 0, 1,  // delta one right, then nine blues clipped to the row; end
    };
    const Picture p = decode(bmpFile(4, 3, 8, 1, 4, palette, rle));
    const Color k = 0, r = rgb(255, 0, 0), g = rgb(0, 255, 0), b = rgb(0, 0, 255);
    const Color want[3][4] = {{k, b, b, b}, {g, r, g, k}, {r, r, r, r}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(p.pixel(x, y), want[y][x]) << x << "," << y;

    // RLE4: a run alternates two colours; an absolute run packs two per byte.
    const std::vector<std::uint8_t> rle4 = {5, 0x12, 0, 0, 0, 3, 0x32, 0x10, 0, 1};
    const Picture q = decode(bmpFile(5, 2, 4, 2, 4, palette, rle4));
    const Color want4[2][5] = {{b, g, r, k, k}, {r, g, r, g, r}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(q.pixel(x, y), want4[y][x]) << x << "," << y;

    // Runs that try to write past the last row stop there.
    const std::vector<std::uint8_t> overrun = {0, 2, 0, 200, 255, 1, 0, 0, 4, 1};
    EXPECT_NO_THROW(decode(bmpFile(4, 3, 8, 1, 4, palette, overrun)));
}

TEST(BmpRead, BitFieldsAndTopDownRows)
{
    // 5-6-5 masks after the header; negative height: the first row is the top one.
    const std::vector<std::uint8_t> masks = {0, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    const std::vector<std::uint8_t> pixels = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x10, 0x84};
    const Picture p = decode(bmpFile(2, -2, 16, 3, 0, masks, pixels));
    EXPECT_EQ(p.pixel(0, 0), rgb(255, 0, 0));
    EXPECT_EQ(p.pixel(1, 0), rgb(0, 255, 0));
    EXPECT_EQ(p.pixel(0, 1), rgb(0, 0, 255));
    EXPECT_EQ(p.pixel(1, 1), rgb(132, 130, 132));  // 16/31 and 32/63 of full scale, rounded
}

TEST(BmpRead, DamagedHeadersAndDataFail)
{
    const std::vector<std::uint8_t> palette(8, 0);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> file;
    } cases[] = {
        {"pixels cut short", bmpFile(4, 4, 24, 0, 0, {}, std::vector<std::uint8_t>(40, 0))},
        {"top-down RLE", bmpFile(4, -4, 8, 1, 2, palette, {0, 1})},
        {"zero width", bmpFile(0, 4, 24, 0, 0, {}, std::vector<std::uint8_t>(64, 0))},
        {"RLE8 at 4 bits", bmpFile(4, 4, 4, 1, 2, palette, {0, 1})},
        {"JPEG inside", bmpFile(4, 4, 24, 4, 0, {}, std::vector<std::uint8_t>(64, 0))},
        {"3 bits per pixel", bmpFile(4, 4, 3, 0, 0, {}, std::vector<std::uint8_t>(64, 0))},
        {"too large", bmpFile(70000, 70000, 1, 0, 0, palette, std::vector<std::uint8_t>(64, 0))},
        {"no file header", std::vector<std::uint8_t>(60, 0)},
    };
    for (const auto& c : cases) EXPECT_THROW(decode(c.file), BmpError) << c.what;
    // Every prefix of a good file fails cleanly or decodes.
    const auto good = bmpFile(3, 3, 8, 0, 2, palette, std::vector<std::uint8_t>(12, 1));
    for (std::size_t n = 0; n < good.size(); ++n) {
        try {
            decodeBmp(good.data(), n);
        } catch (const BmpError&) {
        }
    }
}

TEST(BmpWrite, RoundTripKeepsEveryPixel)
{
    for (int w : {1, 2, 3, 4, 5, 17}) {
        Picture p(w, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x)
                p.setPixel(x, y, rgb(std::uint8_t(x * 40), std::uint8_t(y * 90), std::uint8_t(x ^ y)));
        const auto bytes = encodeBmp(p);
        EXPECT_EQ(bytes.size(), 54u + std::size_t((w * 3 + 3) / 4 * 4) * 3);
        EXPECT_TRUE(decodeBmp(bytes.data(), bytes.size()) == p) << w;
    }
}
