// Hostile PNG files: pictures beyond the reader's limits, and large pictures
// whose image data cannot fill them, each refused before the picture is
// made; and the header-only read, which must agree with the whole read.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "engine/image/largest_allocation.h"
#include "engine/png/png_object.h"
#include "png_test_util.h"

using namespace pelko;
using namespace pelko::test;

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

// IHDR, the image data as given in IDAT chunks of 64 KB, IEND.
Bytes pngWithData(const Bytes& ihdr, const Bytes& data)
{
    Bytes f = {137, 80, 78, 71, 13, 10, 26, 10};
    addChunk(f, "IHDR", ihdr);
    for (std::size_t at = 0; at < data.size(); at += 65536)
        addChunk(f, "IDAT",
                 Bytes(data.begin() + std::ptrdiff_t(at),
                       data.begin() + std::ptrdiff_t(std::min(data.size(), at + 65536))));
    addChunk(f, "IEND", {});
    return f;
}

// rows zero rows of rowBytes bytes each (filter byte included), deflated.
Bytes zeroRows(std::size_t rows, std::size_t rowBytes)
{
    const Bytes raw(rows * rowBytes, 0);
    uLongf n = compressBound(uLong(raw.size()));
    Bytes out(n);
    compress2(out.data(), &n, raw.data(), uLong(raw.size()), 1);
    out.resize(n);
    return out;
}

}  // namespace

TEST(PngHostile, RefusedBeforeThePictureIsMade)
{
    Bytes garbage = {0x78, 0x9C};  // 370 KB that is not deflate data: enough for 10000 x 10000 RGBA by size
    for (std::uint32_t i = 0; i < 370000; ++i) garbage.push_back(std::uint8_t((i * 7919 + 13) % 251));
    const struct {
        const char* name;
        Bytes file;
        std::string message;
    } cases[] = {
        {"16384 x 16384", pngWithData(ihdrData(16384, 16384, 1, 0), {0x78, 0x9C, 3, 0, 0}),
         "picture too large: 16384 × 16384 (limit 10000 × 10000)"},
        {"10000 x 10000 RGBA, 5 bytes of data",
         pngWithData(ihdrData(10000, 10000, 8, 6), {0x78, 0x9C, 3, 0, 0}),
         pngMessage(kPngMissingMultipleIdat)},
        {"10000 x 10000 RGBA, 370 KB of garbage", pngWithData(ihdrData(10000, 10000, 8, 6), garbage),
         pngZlibMessage(-3)},
        // Pictures of more than 16 MB are made only once their data is known to fill them.
        {"4200 x 4200 grey, a row short", pngWithData(ihdrData(4200, 4200, 8, 0), zeroRows(4199, 4201)),
         pngMessage(kPngMissingMultipleIdat)},
        {"4200 x 4200 grey interlaced, cut", pngWithData(ihdrData(4200, 4200, 8, 0, 1), zeroRows(4000, 4201)),
         pngMessage(kPngMissingMultipleIdat)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        resetLargestAllocation();
        const auto start = std::chrono::steady_clock::now();
        TPNGObject png;
        try {
            png.LoadFromStream(c.file.data(), c.file.size());
            ADD_FAILURE() << "loaded";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(e.what(), c.message);
        }
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
        EXPECT_LT(largestAllocation(), std::size_t(1)
                                           << 20);  // the file's own chunks excepted, nothing large
    }

    // The same large pictures with all their rows are read.
    for (int interlace : {0, 1}) {
        const Bytes f = pngWithData(ihdrData(4200, 4200, 8, 0, interlace), zeroRows(4200 + 2100, 4201));
        TPNGObject png;
        png.LoadFromStream(f.data(), f.size());
        EXPECT_EQ(png.Width(), 4200);
        EXPECT_EQ(png.header()->picture.bits.size(), 4200u * 4200u);
    }
}

TEST(PngHostile, HeaderReadAgreesWithTheWholeRead)
{
    // Beyond the limits and without usable data: the header read does not care.
    const Bytes huge = pngWithData(ihdrData(16384, 16384, 1, 0), {0x78, 0x9C, 3, 0, 0});
    TPNGObject header;
    header.LoadHeaderFromStream(huge.data(), huge.size());
    EXPECT_EQ(header.Width(), 16384);
    EXPECT_EQ(header.Height(), 16384);
    EXPECT_TRUE(header.header()->picture.bits.empty());

    // The chunk checks stay: a broken CRC fails either way.
    Bytes crc = huge;
    crc[8 + 8 + 4] ^= 1;
    EXPECT_THROW(header.LoadHeaderFromStream(crc.data(), crc.size()), EPngInvalidCRC);

    const fs::path suite = fs::path(PELKO_TESTDATA) / "pngsuite";
    if (!fs::is_directory(suite))
        GTEST_SKIP() << "test data folder " << suite << " is absent";
    int compared = 0;
    for (const auto& e : fs::directory_iterator(suite)) {
        if (e.path().extension() != ".png")
            continue;
        SCOPED_TRACE(e.path().filename().string());
        const Bytes f = readBytes(e.path());
        TPNGObject whole, head;
        try {
            whole.LoadFromStream(f.data(), f.size());
        } catch (const std::exception&) {
            continue;
        }
        head.LoadHeaderFromStream(f.data(), f.size());
        ASSERT_EQ(head.chunkCount(), whole.chunkCount());
        for (int i = 0; i < whole.chunkCount(); ++i) EXPECT_EQ(head.chunk(i).type(), whole.chunk(i).type());
        EXPECT_EQ(head.Width(), whole.Width());
        EXPECT_EQ(head.Height(), whole.Height());
        EXPECT_EQ(head.TransparencyMode(), whole.TransparencyMode());
        EXPECT_EQ(head.TransparentColor(), whole.TransparentColor());
        EXPECT_EQ(head.header()->picture.palette, whole.header()->picture.palette);
        ++compared;
    }
    EXPECT_GT(compared, 100);
}
