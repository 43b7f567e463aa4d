// PNG files to and from Pictures.

#include <gtest/gtest.h>

#include <random>

#include "engine/image/png_picture.h"

using namespace pelko;

TEST(PngPicture, RoundTripWithTransparencyAndInterlace)
{
    std::mt19937 rng(3);
    Picture p(23, 9);
    for (std::size_t i = 0; i < p.byteSize(); ++i) p.data()[i] = std::uint8_t(rng());
    for (TInterlaceMethod interlace : {imNone, imAdam7}) {
        PngWriteOptions o;
        o.interlace = interlace;
        o.transparent = true;
        o.transparentColor = p.pixel(0, 8);
        const auto bytes = encodePngPicture(p, o);
        EXPECT_TRUE(decodePngPicture(bytes.data(), bytes.size()) == p);
        TPNGObject png;
        png.LoadFromStream(bytes.data(), bytes.size());
        EXPECT_EQ(png.TransparencyMode(), ptmBit);
        EXPECT_EQ(png.TransparentColor(), o.transparentColor);
        EXPECT_EQ(png.InterlaceMethod, interlace);
    }
}

TEST(PngPicture, IndexedBitmapsThroughTheirTable)
{
    PngBitmap b;
    b.width = 9;
    b.height = 2;
    b.bitsPerPixel = 4;
    b.palette = {rgb(1, 2, 3), rgb(4, 5, 6)};
    b.bits.assign(b.stride() * 2, 0);
    b.scanLine(0)[0] = 0x10;  // top-left pixel: index 1
    b.scanLine(1)[4] = 0xF0;  // bottom row, last pixel: index 15, beyond the table: black
    const Picture p = pictureFromPngBitmap(b);
    EXPECT_EQ(p.pixel(0, 0), rgb(4, 5, 6));
    EXPECT_EQ(p.pixel(1, 0), rgb(1, 2, 3));
    EXPECT_EQ(p.pixel(8, 1), 0u);
}
