// Writing PNG files: the chunk layout, filters, IDAT sizes, interlace and
// tRNS rules, and round trips checked by libpng and pngcheck.

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "engine/png/png_object.h"
#include "png_test_util.h"
#include "support/temp_dir.h"

using namespace pelko;
using namespace pelko::test;

namespace {

struct Chunk {
    std::string type;
    std::vector<std::uint8_t> data;
};

std::uint32_t be32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

std::vector<Chunk> chunksOf(const std::vector<std::uint8_t>& f)
{
    std::vector<Chunk> out;
    for (std::size_t pos = 8; pos + 12 <= f.size();) {
        const std::uint32_t len = be32(&f[pos]);
        out.push_back(
            {std::string(f.begin() + long(pos) + 4, f.begin() + long(pos) + 8),
             std::vector<std::uint8_t>(f.begin() + long(pos) + 8, f.begin() + long(pos + 8 + len))});
        pos += 12 + len;
    }
    return out;
}

std::vector<std::uint8_t> inflateIdat(const std::vector<Chunk>& chunks)
{
    std::vector<std::uint8_t> z, out(1 << 22);
    for (const auto& c : chunks)
        if (c.type == "IDAT")
            z.insert(z.end(), c.data.begin(), c.data.end());
    uLongf n = uLongf(out.size());
    EXPECT_EQ(uncompress(out.data(), &n, z.data(), uLong(z.size())), Z_OK);
    out.resize(n);
    return out;
}

PngBitmap randomBitmap(int w, int h, int bits, unsigned seed, bool noisy = true)
{
    std::mt19937 rng(seed);
    PngBitmap b;
    b.width = w;
    b.height = h;
    b.bitsPerPixel = bits;
    b.bits.resize(b.stride() * std::size_t(h));
    for (auto& v : b.bits) v = noisy ? std::uint8_t(rng()) : std::uint8_t(rng() % 4);
    if (bits < 16)
        for (int i = 0; i < (1 << bits); ++i) b.palette.push_back(rng() & 0xFFFFFF);
    return b;
}

std::vector<std::uint8_t> save(const TPNGObject& png)
{
    std::vector<std::uint8_t> out;
    png.SaveToStream(out);
    return out;
}

}  // namespace

TEST(PngWrite, TransparentRgbPictureLayoutAndSubFilter)
{
    PngBitmap b = randomBitmap(7, 5, 24, 1);
    b.transparent = true;
    b.transparentColor = 0x00332211;
    TPNGObject png;
    png.Assign(b);
    const auto chunks = chunksOf(save(png));
    ASSERT_EQ(chunks.size(), 4u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[0].data, ihdrData(7, 5, 8, 2));
    EXPECT_EQ(chunks[1].type, "tRNS");
    EXPECT_EQ(chunks[1].data, (std::vector<std::uint8_t>{0, 0x11, 0, 0x22, 0, 0x33}));
    EXPECT_EQ(chunks[2].type, "IDAT");
    EXPECT_EQ(chunks[3].type, "IEND");
    const auto raw = inflateIdat(chunks);
    ASSERT_EQ(raw.size(), 5u * (1 + 7 * 3));
    for (int y = 0; y < 5; ++y) EXPECT_EQ(raw[std::size_t(y) * 22], 1);
}

TEST(PngWrite, IdatChunksAreSplitAt65535Bytes)
{
    TPNGObject png;
    png.Assign(randomBitmap(200, 200, 24, 2));
    png.SetMaxIdatSize(1000);  // raised to the minimum
    EXPECT_EQ(png.MaxIdatSize(), 65535u);
    const auto chunks = chunksOf(save(png));
    std::vector<std::size_t> sizes;
    for (const auto& c : chunks)
        if (c.type == "IDAT")
            sizes.push_back(c.data.size());
    ASSERT_GE(sizes.size(), 2u);
    for (std::size_t i = 0; i + 1 < sizes.size(); ++i) EXPECT_EQ(sizes[i], 65535u);
    EXPECT_LT(sizes.back(), 65535u);
    EXPECT_GT(sizes.back(), 0u);
}

TEST(PngWrite, InterlaceSkipsEmptyPasses)
{
    TPNGObject png;
    png.InterlaceMethod = imAdam7;
    png.Assign(randomBitmap(1, 1, 24, 3));
    const auto chunks = chunksOf(save(png));
    EXPECT_EQ(chunks[0].data[12], 1);
    EXPECT_EQ(inflateIdat(chunks).size(), 4u);  // only the first pass: filter byte and one pixel

    // 3 x 3: passes 1 (1x1), 4 (1x1), 5 (2x1), 6 (1x2), 7 (3x1); 2 and 3 are empty.
    png.Assign(randomBitmap(3, 3, 24, 4));
    EXPECT_EQ(inflateIdat(chunksOf(save(png))).size(), std::size_t(4 + 4 + 7 + 2 * 4 + 10));
}

TEST(PngWrite, RoundTripsThroughLibpngAndPngcheck)
{
    struct Case {
        int w, h, bits;
        TInterlaceMethod interlace;
        int level;
        TFilters filters;
    } cases[] = {
        {33, 17, 24, imNone, 7, filterBit(pfSub)},   {33, 17, 24, imAdam7, 9, filterBit(pfSub)},
        {5, 9, 8, imNone, 0, filterBit(pfSub)},      {13, 11, 8, imAdam7, 6, filterBit(pfPaeth)},
        {13, 6, 4, imNone, 7, filterBit(pfSub)},     {9, 10, 4, imAdam7, 7, filterBit(pfUp)},
        {17, 3, 1, imNone, 7, filterBit(pfAverage)}, {10, 10, 1, imAdam7, 7, filterBit(pfSub)},
        {40, 20, 24, imNone, 7, TFilters(0x1F)},     {40, 20, 24, imNone, 7, 0},
    };
    const bool havePngcheck =
        std::system("pngcheck -q /dev/null >/dev/null 2>&1; command -v pngcheck >/dev/null") == 0;
    const TempDir dir;
    unsigned seed = 10;
    for (const auto& c : cases) {
        for (bool noisy : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " bits " << c.bits << " interlace "
                                            << int(c.interlace) << " filters " << int(c.filters));
            const PngBitmap b = randomBitmap(c.w, c.h, c.bits, seed++, noisy);
            TPNGObject png;
            png.InterlaceMethod = c.interlace;
            png.CompressionLevel = c.level;
            png.Filters = c.filters;
            png.Assign(b);
            const auto file = save(png);
            const LibpngImage ref = decodeWithLibpng(file);
            ASSERT_TRUE(ref.ok);
            EXPECT_EQ(ref.rgb, bitmapRgb(b));
            // And our reader gives back the same picture.
            TPNGObject again;
            again.LoadFromStream(file.data(), file.size());
            PngBitmap back;
            again.AssignTo(back);
            EXPECT_EQ(bitmapRgb(back), bitmapRgb(b));
            if (havePngcheck) {
                const std::string tmp = dir.file("check_" + std::to_string(seed) + ".png");
                std::ofstream(tmp, std::ios::binary)
                    .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
                EXPECT_EQ(std::system(("pngcheck -q '" + tmp + "' >/dev/null").c_str()), 0);
            }
        }
    }
}

TEST(PngWrite, FilterChoiceAmongSeveral)
{
    // Identical noisy rows: from the second row on, Up turns every byte into 0
    // and wins; the first row has no previous row to lean on.
    PngBitmap b = randomBitmap(16, 4, 24, 9);
    for (int y = 1; y < 4; ++y) std::copy_n(b.scanLine(0), b.stride(), b.scanLine(y));
    TPNGObject png;
    png.Filters = filterBit(pfNone) | filterBit(pfSub) | filterBit(pfUp) | filterBit(pfPaeth);
    png.Assign(b);
    const auto raw = inflateIdat(chunksOf(save(png)));
    ASSERT_EQ(raw.size(), 4u * 49);
    for (int y = 1; y < 4; ++y) EXPECT_EQ(raw[std::size_t(y) * 49], pfUp) << y;
    // With only None in the set, or none at all, rows are stored unfiltered.
    for (TFilters set : {filterBit(pfNone), TFilters(0)}) {
        png.Filters = set;
        const auto plain = inflateIdat(chunksOf(save(png)));
        for (int y = 0; y < 4; ++y) EXPECT_EQ(plain[std::size_t(y) * 49], pfNone);
    }
}

TEST(PngWrite, SetTransparentColor)
{
    PngBitmap b = randomBitmap(4, 4, 4, 5);
    b.palette = {0x0000FF, 0x00FF00, 0xFF0000, 0x00FF00};
    b.palette.resize(16, 0x123456);
    TPNGObject png;
    png.Assign(b);
    png.SetTransparentColor(0x00FF00);  // the first match is entry 1
    const auto chunks = chunksOf(save(png));
    ASSERT_EQ(chunks[2].type, "tRNS");  // after PLTE
    EXPECT_EQ(chunks[2].data, (std::vector<std::uint8_t>{255, 0}));
    EXPECT_EQ(png.TransparencyMode(), ptmBit);
    EXPECT_EQ(png.TransparentColor(), 0x00FF00u);
    png.SetTransparentColor(0x777777);  // no match: entry 0
    EXPECT_EQ(png.findChunk("tRNS")->data(), (std::vector<std::uint8_t>{0}));

    // Grey images store the red value; images with alpha refuse; an empty image has no header.
    const auto grey = makePng(ihdrData(1, 1, 8, 0), {}, {0, 9});
    TPNGObject g;
    g.LoadFromStream(grey.data(), grey.size());
    g.SetTransparentColor(0x030201);
    EXPECT_EQ(chunksOf(save(g))[1].type, "tRNS");  // before the image data
    EXPECT_EQ(g.findChunk("tRNS")->data(), (std::vector<std::uint8_t>{0, 1}));
    const auto rgba = makePng(ihdrData(1, 1, 8, 6), {}, {0, 1, 2, 3, 4});
    TPNGObject a;
    a.LoadFromStream(rgba.data(), rgba.size());
    EXPECT_THROW(a.SetTransparentColor(0), EPNGCannotChangeTransparent);
    TPNGObject empty;
    EXPECT_THROW(empty.SetTransparentColor(0), EPNGHeaderNotPresent);
    std::vector<std::uint8_t> out;
    EXPECT_THROW(empty.SaveToStream(out), EPNGHeaderNotPresent);
}

TEST(PngWrite, ChunkListRules)
{
    TPNGObject empty;
    EXPECT_THROW(empty.AddChunk("tEXt"), EPngError);  // no IHDR or IEND
    TPNGObject png;
    png.Assign(randomBitmap(2, 2, 24, 6));
    for (const char* critical : {"IHDR", "IDAT", "PLTE", "IEND"})
        EXPECT_THROW(png.AddChunk(critical), EPngError) << critical;
    EXPECT_THROW(png.AddChunk("tEX"), std::invalid_argument);
    png.AddChunk("gAMA");
    EXPECT_THROW(png.AddChunk("gAMA"), EPngError);
    EXPECT_EQ(png.chunk(1).type(), "gAMA");
    png.AddChunk("tEXt").data() = {'a', 0, 'b'};
    EXPECT_EQ(png.chunk(png.chunkCount() - 2).type(), "tEXt");
    EXPECT_THROW(png.chunk(0).Assign(png.chunk(1)), EPngError);
    EXPECT_THROW(png.SetWidth(5), EPngError);
    try {
        png.SetHeight(5);
    } catch (const EPngError& e) {
        EXPECT_STREQ(e.what(),
                     "The \"Portable Network Graphics\" image can not be resize by changing width and height "
                     "properties. Try assigning the image from a bitmap.");
    }
    PngBitmap pal = randomBitmap(2, 2, 1, 7);
    png.Assign(pal);
    EXPECT_EQ(png.palette()->Item(1), pal.palette[1]);
    EXPECT_THROW(png.palette()->Item(2), EPngError);

    // A copy is independent of its source.
    TPNGObject copy(png);
    png.Assign(randomBitmap(3, 3, 24, 8));
    EXPECT_EQ(copy.Width(), 2);
    EXPECT_EQ(save(copy).size() > 0, true);
}
