// JPEG decoding against libjpeg's own output, CMYK conversion, damaged data,
// and encoding.

#include <gtest/gtest.h>

#include <jpeglib.h>
#include <cstdio>

#include <csetjmp>
#include <cstdlib>
#include <filesystem>

#include "engine/image/jpeg_codec.h"
#include "engine/image/ppm.h"

namespace fs = std::filesystem;
using namespace pelko;

namespace {

const fs::path kJpeg = fs::path(PELKO_TESTDATA) / "jpeg";

std::vector<std::uint8_t> bytesOf(const char* name)
{
    return readFile((kJpeg / name).string());
}

Picture decode(const std::vector<std::uint8_t>& b)
{
    return decodeJpeg(b.data(), b.size());
}

// libjpeg straight to RGB, as the reference. Only used on valid files.
Picture libjpegReference(const std::vector<std::uint8_t>& b)
{
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, b.data(), static_cast<unsigned long>(b.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    Picture p(int(cinfo.output_width), int(cinfo.output_height));
    std::vector<JSAMPLE> row(std::size_t(cinfo.output_width) * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        JSAMPROW r = row.data();
        jpeg_read_scanlines(&cinfo, &r, 1);
        for (int x = 0; x < p.width(); ++x) p.setPixel(x, y, rgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]));
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return p;
}

double meanDifference(const Picture& a, const Picture& b)
{
    double sum = 0;
    for (std::size_t i = 0; i < a.byteSize(); ++i) sum += std::abs(int(a.data()[i]) - int(b.data()[i]));
    return sum / double(a.byteSize());
}

}  // namespace

TEST(JpegFiles, DecodeLikeLibjpeg)
{
    if (!fs::is_directory(kJpeg))
        GTEST_SKIP() << "test data folder " << kJpeg << " is absent";
    for (const char* name :
         {"baseline-420.jpg", "baseline-422.jpg", "baseline-444-optimized.jpg", "progressive.jpg", "grey.jpg",
          "restart-every-row.jpg", "odd-size-37x23.jpg", "arithmetic.jpg"}) {
        SCOPED_TRACE(name);
        const auto b = bytesOf(name);
        EXPECT_TRUE(decode(b) == libjpegReference(b));
    }
    EXPECT_EQ(decode(bytesOf("odd-size-37x23.jpg")).width(), 37);
}

TEST(JpegFiles, CmykAndYcckBecomeRgb)
{
    if (!fs::is_directory(kJpeg))
        GTEST_SKIP() << "test data folder " << kJpeg << " is absent";
    // Both hold the same photograph as the baseline file: after conversion
    // they must look like it (an inverted or uninverted reading would not).
    const Picture base = decode(bytesOf("baseline-444-optimized.jpg"));
    for (const char* name : {"cmyk-ycck-adobe.jpg", "cmyk-plain-adobe.jpg"}) {
        SCOPED_TRACE(name);
        const Picture p = decode(bytesOf(name));
        ASSERT_EQ(p.width(), base.width());
        EXPECT_LT(meanDifference(p, base), 12.0);
    }
}

TEST(JpegFiles, DamagedDataIsRefused)
{
    if (!fs::is_directory(kJpeg))
        GTEST_SKIP() << "test data folder " << kJpeg << " is absent";
    for (const char* name :
         {"truncated-baseline.jpg", "truncated-progressive.jpg", "not-a-jpeg-png-inside.jpg"})
        EXPECT_THROW(decode(bytesOf(name)), JpegError) << name;
    // Every cut of a good file is refused (or, when only the end marker is missing, decoded).
    const auto good = bytesOf("baseline-420.jpg");
    for (std::size_t n = 0; n + 2 < good.size(); n += 97)
        EXPECT_THROW(decodeJpeg(good.data(), n), JpegError) << n;
    // Garbage after the start marker ends in libjpeg's error exit, which must come back here.
    std::vector<std::uint8_t> junk = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x03, 0x99, 0x99, 0x99, 0x99};
    EXPECT_THROW(decode(junk), JpegError);
}

TEST(JpegEncode, QualityAndRoundTrip)
{
    Picture p(40, 24);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x) p.setPixel(x, y, rgb(std::uint8_t(x * 6), std::uint8_t(y * 10), 128));
    const auto best = encodeJpeg(p, 100);
    const auto worst = encodeJpeg(p, 0);
    EXPECT_LT(worst.size(), best.size());
    const Picture back = decode(best);
    ASSERT_EQ(back.width(), 40);
    ASSERT_EQ(back.height(), 24);
    EXPECT_LT(meanDifference(back, p), 2.0);
    EXPECT_THROW(encodeJpeg(Picture(), 50), JpegError);
}
