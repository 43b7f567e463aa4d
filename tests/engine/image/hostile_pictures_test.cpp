// Hostile still pictures, one table per reader: small files that claim huge
// pictures, lack the data they claim, or repeat what the format lets them
// repeat. Each must fail with its reason, quickly, and before it takes the
// memory it claims.

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "engine/image/bmp_reader.h"
#include "engine/image/ico_reader.h"
#include "engine/image/jpeg_codec.h"
#include "engine/image/largest_allocation.h"
#include "engine/image/picture_reader.h"
#include "engine/image/pixel_budget.h"
#include "engine/image/png_picture.h"

using namespace pelko;

namespace {

using Bytes = std::vector<std::uint8_t>;

void le16(Bytes& b, std::uint32_t v)
{
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void le32(Bytes& b, std::uint32_t v)
{
    le16(b, v & 0xFFFF);
    le16(b, v >> 16);
}
void be32(Bytes& b, std::uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8) b.push_back(std::uint8_t(v >> s));
}

Bytes bmpFile(std::int32_t w, std::int32_t h, int bits, std::uint32_t compression, const Bytes& pixels,
              std::size_t colours = 0)
{
    const std::uint32_t offset = 14 + 40 + std::uint32_t(colours * 4);
    Bytes b = {'B', 'M'};
    le32(b, offset + std::uint32_t(pixels.size()));
    le32(b, 0);
    le32(b, offset);
    le32(b, 40);
    le32(b, std::uint32_t(w));
    le32(b, std::uint32_t(h));
    le16(b, 1);
    le16(b, std::uint32_t(bits));
    le32(b, compression);
    for (int i = 0; i < 5; ++i) le32(b, 0);
    b.resize(b.size() + colours * 4, 0x80);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

// An icon's bitmap header: the height counts the picture and its mask.
Bytes iconDib(std::int32_t w, std::int32_t h, std::size_t dataBytes)
{
    Bytes b;
    le32(b, 40);
    le32(b, std::uint32_t(w));
    le32(b, std::uint32_t(2 * h));
    le16(b, 1);
    le16(b, 32);
    for (int i = 0; i < 6; ++i) le32(b, 0);
    b.resize(b.size() + dataBytes, 0);
    return b;
}

struct IcoEntry {
    std::uint32_t offset, length;
};
// The directory, then the blobs; entries give their data by offset and
// length relative to the first blob.
Bytes icoFile(const std::vector<IcoEntry>& entries, const Bytes& blobs)
{
    Bytes b;
    le16(b, 0);
    le16(b, 1);
    le16(b, std::uint32_t(entries.size()));
    const std::uint32_t base = std::uint32_t(6 + 16 * entries.size());
    for (const IcoEntry& e : entries) {
        b.insert(b.end(), {0, 0, 0, 0});
        le16(b, 1);
        le16(b, 32);
        le32(b, e.length);
        le32(b, base + e.offset);
    }
    b.insert(b.end(), blobs.begin(), blobs.end());
    return b;
}

void pngChunk(Bytes& f, const char* type, const Bytes& data)
{
    be32(f, std::uint32_t(data.size()));
    const std::size_t start = f.size();
    f.insert(f.end(), type, type + 4);
    f.insert(f.end(), data.begin(), data.end());
    be32(f, std::uint32_t(crc32(0, f.data() + start, uInt(f.size() - start))));
}

// A grey 8-bit PNG whose image data holds `rows` zero rows.
Bytes greyPng(std::uint32_t w, std::uint32_t h, std::uint32_t rows)
{
    Bytes f = {137, 80, 78, 71, 13, 10, 26, 10};
    Bytes ihdr;
    be32(ihdr, w);
    be32(ihdr, h);
    ihdr.insert(ihdr.end(), {8, 0, 0, 0, 0});
    pngChunk(f, "IHDR", ihdr);
    const Bytes raw(std::size_t(rows) * (w + 1), 0);
    uLongf n = compressBound(uLong(raw.size()));
    Bytes z(n);
    compress2(z.data(), &n, raw.data(), uLong(raw.size()), 9);
    z.resize(n);
    pngChunk(f, "IDAT", z);
    pngChunk(f, "IEND", {});
    return f;
}

// JPEG pieces: one grey component, a one-code DC table (difference 0) and a
// one-code AC table (EOB14: a run of up to 32767 empty blocks).
struct JpegBits {
    Bytes out;
    unsigned acc = 0;
    int n = 0;
    void put(unsigned value, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            acc = acc << 1 | ((value >> i) & 1);
            if (++n == 8) {
                out.push_back(std::uint8_t(acc));
                if (acc == 0xFF)
                    out.push_back(0);
                acc = 0;
                n = 0;
            }
        }
    }
    Bytes done()
    {
        if (n)
            put((1u << (8 - n)) - 1, 8 - n);
        return out;
    }
};

void segment(Bytes& b, std::uint8_t marker, const Bytes& body)
{
    b.insert(b.end(), {0xFF, marker, std::uint8_t((body.size() + 2) >> 8), std::uint8_t(body.size() + 2)});
    b.insert(b.end(), body.begin(), body.end());
}

Bytes jpegHead(int w, int h, std::uint8_t sof = 0xC2)
{
    Bytes b = {0xFF, 0xD8};
    Bytes dqt(65, 1);
    dqt[0] = 0;
    segment(b, 0xDB, dqt);
    segment(b, sof,
            {8, std::uint8_t(h >> 8), std::uint8_t(h), std::uint8_t(w >> 8), std::uint8_t(w), 1, 1, 0x11, 0});
    Bytes dc(18, 0), ac(18, 0);
    dc[1] = 1;
    ac[0] = 0x10;
    ac[1] = 1;
    ac[17] = 0xE0;
    segment(b, 0xC4, dc);
    segment(b, 0xC4, ac);
    return b;
}

void dcScan(Bytes& b, int blocks)
{
    segment(b, 0xDA, {1, 1, 0, 0, 0, 0});
    JpegBits bits;
    for (int i = 0; i < blocks; ++i) bits.put(0, 1);
    const Bytes d = bits.done();
    b.insert(b.end(), d.begin(), d.end());
}

void acScan(Bytes& b, int blocks)
{
    segment(b, 0xDA, {1, 1, 0, 1, 63, 0});
    JpegBits bits;
    for (; blocks > 0; blocks -= 32767) {  // a run may go past the scan's last block
        bits.put(0, 1);
        bits.put(unsigned(std::max(std::min(blocks, 32767), 1 << 14) - (1 << 14)), 14);
    }
    const Bytes d = bits.done();
    b.insert(b.end(), d.begin(), d.end());
}

Bytes jpegEnd(Bytes b)
{
    b.insert(b.end(), {0xFF, 0xD9});
    return b;
}

struct Hostile {
    const char* name;
    Bytes file;
    std::string reason;
};

// Decodes every row, which must fail with its reason within the time and
// without any allocation near what the file claims.
void expectRefused(StillKind kind, const std::vector<Hostile>& table, std::size_t allocationLimit = 64u << 20)
{
    for (const Hostile& h : table) {
        SCOPED_TRACE(h.name);
        test::resetLargestAllocation();
        const auto start = std::chrono::steady_clock::now();
        try {
            decodeStillPicture(kind, h.file.data(), h.file.size());
            ADD_FAILURE() << "decoded";
        } catch (const PictureReadError& e) {
            EXPECT_EQ(e.reason(), h.reason);
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 5.0);
        EXPECT_LT(test::largestAllocation(), allocationLimit);
    }
}

}  // namespace

TEST(HostileBmp, RefusedFromTheHeaderOrForMissingData)
{
    Bytes rle;  // runs of 255 pixels, then the end of the bitmap: a few thousand of the 10^8
    for (int i = 0; i < 500; ++i) rle.insert(rle.end(), {255, 1});
    rle.insert(rle.end(), {0, 1});
    expectRefused(StillKind::Bmp,
                  {
                      {"16384 x 16384, 1 KB", bmpFile(16384, 16384, 24, 0, Bytes(1024)),
                       "picture too large: 16384 × 16384 (limit 10000 × 10000)"},
                      {"top-down 20000 rows", bmpFile(10, -20000, 24, 0, Bytes(1024)),
                       "picture too large: 10 × 20000 (limit 10000 × 10000)"},
                      {"10000 x 10000, rows missing", bmpFile(10000, 10000, 24, 0, Bytes(1024)),
                       "BMP: pixel data is cut short"},
                      {"RLE8 10000 x 10000 from 1 KB", bmpFile(10000, 10000, 8, 1, rle, 256),
                       "BMP: pixel data is cut short"},
                  });

    // A small RLE bitmap may still leave most of its pixels to the background.
    const Bytes sparse = bmpFile(1000, 1000, 8, 1, {0, 1}, 256);
    EXPECT_EQ(decodeBmp(sparse.data(), sparse.size()).width(), 1000);

    // The budget is a setting: a lower one refuses from the header too.
    ScopedPixelBudget budget({100, 50});
    const Bytes f = bmpFile(100, 51, 24, 0, Bytes(100 * 3 * 51 + 100));
    expectRefused(StillKind::Bmp, {{"100 x 51", f, "picture too large: 100 × 51 (limit 100 × 50)"}});
}

TEST(HostileIco, EntriesAreChosenFromTheDirectoryAndTriedTwiceAtMost)
{
    // One PNG that inflates 2000 rows of 2000 pixels and then lacks its last
    // row, named by 65535 entries of different lengths: each try costs the
    // whole inflation, so only two may be made.
    const Bytes png = greyPng(2000, 2000, 1999);
    Bytes blobs = png;
    blobs.resize(png.size() + 65535, 0);
    std::vector<IcoEntry> same;
    for (std::uint32_t i = 0; i < 65535; ++i) same.push_back({0, std::uint32_t(png.size()) + i});
    const std::string missingRows = pngMessage(kPngMissingMultipleIdat);

    const Bytes huge = iconDib(16384, 16384, 64);
    expectRefused(StillKind::Ico,
                  {
                      {"65535 entries of one broken PNG", icoFile(same, blobs), "ICO: " + missingRows},
                      {"bitmap entry of 16384 x 16384", icoFile({{0, std::uint32_t(huge.size())}}, huge),
                       "ICO: picture too large: 16384 × 16384 (limit 10000 × 10000)"},
                  });

    // The fallback still finds a good entry behind a broken best one.
    Bytes two = iconDib(64, 64, 10);  // the larger entry, cut short
    const std::uint32_t goodAt = std::uint32_t(two.size());
    const Bytes good = iconDib(16, 16, 16 * 16 * 4 + 64);
    two.insert(two.end(), good.begin(), good.end());
    Bytes ico = icoFile({{0, goodAt}, {goodAt, std::uint32_t(good.size())}}, two);
    ico[6] = 64;  // directory sizes: 64 x 64 first, 16 x 16 second
    ico[7] = 64;
    ico[6 + 16] = 16;
    ico[6 + 17] = 16;
    EXPECT_EQ(decodeIco(ico.data(), ico.size()).width(), 16);
}

TEST(HostileJpeg, ScansBlocksAndSizesAreBoundedBeforeTheWork)
{
    Bytes many = jpegHead(64, 64);
    dcScan(many, 64);
    for (int i = 0; i < 101; ++i) acScan(many, 64);

    // 100 scans over 10000 x 10000 blocks cost seconds however few bytes they take.
    Bytes heavy = jpegHead(10000, 10000);
    dcScan(heavy, 1250 * 1250);
    for (int i = 0; i < 40; ++i) acScan(heavy, 1250 * 1250);

    Bytes huge = jpegHead(16384, 16384);
    dcScan(huge, 1);

    Bytes thin = jpegHead(10000, 10000);  // 8000 of 1562500 blocks
    dcScan(thin, 8000);

    Bytes cut = jpegHead(4000, 4000, 0xC0);  // no end-of-image marker
    dcScan(cut, 250000);
    cut.resize(cut.size() / 2);

    expectRefused(
        StillKind::Jpeg,
        {
            {"101 scans", jpegEnd(many), "JPEG: more than 100 scans"},
            {"40 scans of 10^8 pixels", jpegEnd(heavy), "JPEG: too many scans for the data"},
            {"16384 x 16384", jpegEnd(huge), "picture too large: 16384 × 16384 (limit 10000 × 10000)"},
            {"blocks missing", jpegEnd(thin), "JPEG: data is cut short"},
            {"no end", cut, "JPEG: data is cut short"},
        });

    // The same kind of file with the scans an encoder writes decodes.
    Bytes fine = jpegHead(64, 64);
    dcScan(fine, 64);
    for (int i = 0; i < 9; ++i) acScan(fine, 64);
    fine = jpegEnd(fine);
    EXPECT_EQ(decodeJpeg(fine.data(), fine.size()).width(), 64);
}
