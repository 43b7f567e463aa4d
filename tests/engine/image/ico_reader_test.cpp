// The ICO reader: which entry is read, transparency drawn on white, PNG
// entries, and damaged icons.

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/image/ico_reader.h"
#include "engine/image/png_picture.h"
#include "engine/image/ppm.h"

namespace fs = std::filesystem;
using namespace pelko;

namespace {

const fs::path kIco = fs::path(PELKO_TESTDATA) / "ico";
constexpr Color kWhite = 0xFFFFFF;

Picture readIco(const std::string& name)
{
    const auto bytes = readFile((kIco / name).string());
    return decodeIco(bytes.data(), bytes.size());
}

void put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x)
{
    for (int i = 0; i < 4; ++i) v[at + i] = std::uint8_t(x >> (8 * i));
}

// A bitmap entry: info header (height doubled), colour table, XOR rows, AND rows.
std::vector<std::uint8_t> iconDib(int w, int h, int bits, const std::vector<std::uint8_t>& palette,
                                  const std::vector<std::uint8_t>& xorRows,
                                  const std::vector<std::uint8_t>& andRows)
{
    std::vector<std::uint8_t> d(40, 0);
    put32(d, 0, 40);
    put32(d, 4, std::uint32_t(w));
    put32(d, 8, std::uint32_t(2 * h));
    d[12] = 1;
    d[14] = std::uint8_t(bits);
    d.insert(d.end(), palette.begin(), palette.end());
    d.insert(d.end(), xorRows.begin(), xorRows.end());
    d.insert(d.end(), andRows.begin(), andRows.end());
    return d;
}

std::vector<std::uint8_t> iconFile(
    const std::vector<std::pair<std::array<std::uint8_t, 8>, std::vector<std::uint8_t>>>& entries)
{
    std::vector<std::uint8_t> f(6 + 16 * entries.size(), 0);
    f[2] = 1;
    f[4] = std::uint8_t(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::copy(entries[i].first.begin(), entries[i].first.end(), f.begin() + long(6 + 16 * i));
        put32(f, 6 + 16 * i + 8, std::uint32_t(entries[i].second.size()));
        put32(f, 6 + 16 * i + 12, std::uint32_t(f.size()));
        f.insert(f.end(), entries[i].second.begin(), entries[i].second.end());
    }
    return f;
}

}  // namespace

TEST(IcoFiles, LargestEntryTransparentPartsWhite)
{
    if (!fs::is_directory(kIco))
        GTEST_SKIP() << "test data folder " << kIco << " is absent";
    struct Case {
        const char* name;
        int size;
        bool discOnWhite;  // our generated art: transparent corners, an opaque orange disc in the middle
    } cases[] = {
        {"gen-1bpp-32.ico", 32, true},           {"gen-4bpp-16-32.ico", 32, true},
        {"gen-8bpp-32.ico", 32, true},           {"gen-24bpp-32.ico", 32, true},
        {"gen-32bpp-16-32-48.ico", 48, true},    {"gen-png-256.ico", 256, true},
        {"gen-mixed-4-8-32-png.ico", 256, true}, {"pil-black_and_white.ico", 16, false},
        {"pil-hopper.ico", 16, false},           {"pil-hopper_draw.ico", 16, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Picture p = readIco(c.name);
        EXPECT_EQ(p.width(), c.size);
        EXPECT_EQ(p.height(), c.size);
        if (c.discOnWhite) {
            EXPECT_EQ(p.pixel(0, 0), kWhite);
            EXPECT_EQ(p.pixel(c.size - 1, c.size - 1), kWhite);
            EXPECT_NE(p.pixel(c.size / 2, c.size / 2), kWhite);
        }
    }
    EXPECT_THROW(readIco("gen-zero-images.ico"), IcoError);
    EXPECT_THROW(readIco("pil-decompression_bomb.ico"), IcoError);
    // Damaged icons: the whole entries that remain are read.
    EXPECT_EQ(readIco("gen-truncated.ico").width(), 48);
    EXPECT_EQ(readIco("gen-bad-offset.ico").width() > 0, true);
    try {
        readIco("pil-hopper_unexpected.ico");
    } catch (const IcoError&) {
    }
}

TEST(IcoRead, EqualSizesPreferMoreColoursAndMaskGivesWhite)
{
    // Two 2 x 2 entries: 1 bit (all black) and 24 bits (red), the deeper one listed last.
    const std::vector<std::uint8_t> pal = {0, 0, 0, 0, 255, 255, 255, 0};
    const std::vector<std::uint8_t> rows1 = {0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<std::uint8_t> andNone = {0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<std::uint8_t> red(2 * 8, 0);  // two rows of 2 pixels (6 bytes) padded to 8
    for (int r = 0; r < 2; ++r)
        for (int x = 0; x < 2; ++x) red[std::size_t(r * 8 + x * 3 + 2)] = 255;
    // AND mask: the bottom-left pixel (first row, first bit) is transparent.
    const std::vector<std::uint8_t> andCorner = {0x80, 0, 0, 0, 0, 0, 0, 0};
    const auto file = iconFile({{{2, 2, 2, 0, 1, 0, 1, 0}, iconDib(2, 2, 1, pal, rows1, andNone)},
                                {{2, 2, 0, 0, 1, 0, 24, 0}, iconDib(2, 2, 24, {}, red, andCorner)}});
    const Picture p = decodeIco(file.data(), file.size());
    EXPECT_EQ(p.pixel(0, 1), kWhite);
    EXPECT_EQ(p.pixel(1, 1), rgb(255, 0, 0));
    EXPECT_EQ(p.pixel(0, 0), rgb(255, 0, 0));

    // A PNG entry is read through the PNG codec.
    Picture small(3, 1);
    small.setPixel(1, 0, rgb(1, 2, 3));
    const auto png = encodePngPicture(small);
    const auto withPng = iconFile({{{3, 1, 0, 0, 1, 0, 32, 0}, png}});
    EXPECT_TRUE(decodeIco(withPng.data(), withPng.size()) == small);

    // Every prefix fails cleanly or decodes.
    for (std::size_t n = 0; n < file.size(); ++n) {
        try {
            decodeIco(file.data(), n);
        } catch (const IcoError&) {
        }
    }
}
