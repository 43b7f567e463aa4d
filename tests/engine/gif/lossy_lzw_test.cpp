// Lossy LZW: the stream stays ordinary LZW, every pixel read back is within
// the strength's bound of the pixel given, transparency is kept exactly, and
// the bytes do not depend on the threads that compress the frames.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "engine/gif/gif_image.h"
#include "engine/gif/lossy_lzw_encoder.h"
#include "gif_test_util.h"

namespace pelko {
namespace {

using test::Bytes;

// 256 colours in a ramp: neighbouring entries are a step or two apart, so a
// bound finds many stand-ins.
std::vector<Color> rampColors(int n)
{
    std::vector<Color> colors;
    for (int i = 0; i < n; ++i)
        colors.push_back(
            rgb(std::uint8_t(i * 255 / std::max(1, n - 1)), std::uint8_t(i / 2), std::uint8_t(255 - i)));
    return colors;
}

// A noisy gradient over the ramp, with a block of the transparent index.
std::vector<std::uint8_t> noisyGradient(int w, int h, int colors, int transparent, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> noise(-3, 3);
    std::vector<std::uint8_t> p(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int c = std::clamp((x + y) * colors / (w + h) + noise(rng), 0, colors - 1);
            if (transparent >= 0 && c == transparent)
                c = transparent == 0 ? 1 : transparent - 1;
            if (transparent >= 0 && x >= w / 3 && x < w / 2 && y >= h / 4 && y < h / 2 + (x & 1))
                c = transparent;
            p[std::size_t(y) * std::size_t(w) + std::size_t(x)] = std::uint8_t(c);
        }
    return p;
}

struct Case {
    int colors;
    int transparent;  // -1: none
    bool interlaced;
    int width, height;
};

std::unique_ptr<TGIFImage> makeImage(const Case& k, int lossy, int frames = 1, int threads = 1)
{
    auto image = std::make_unique<TGIFImage>();
    image->SetLossy(lossy);
    image->SetEncodeThreads(threads);
    image->SetWidth(k.width);
    image->SetHeight(k.height);
    for (int i = 0; i < frames; ++i) {
        TGIFSubImage& f = test::addFrame(*image, 0, 0, k.width, k.height,
                                         noisyGradient(k.width, k.height, k.colors, k.transparent, 5 + i),
                                         rampColors(k.colors));
        f.SetInterlaced(k.interlaced);
        test::addGce(f, 10, dmNone, k.transparent);
    }
    return image;
}

double distance(Color a, Color b)
{
    const double dr = int(redOf(a)) - int(redOf(b));
    const double dg = int(greenOf(a)) - int(greenOf(b));
    const double db = int(blueOf(a)) - int(blueOf(b));
    return std::sqrt(dr * dr + dg * dg + db * db);
}

const Case kCases[] = {
    {256, -1, false, 97, 61}, {256, 40, false, 97, 61}, {256, 0, true, 64, 37},
    {16, 7, false, 200, 150}, {4, -1, false, 300, 200}, {256, 255, false, 400, 300},
};

TEST(LossyLzw, PixelsReadBackWithinTheBoundAndTransparencyKept)
{
    for (const Case& k : kCases) {
        const Bytes lossless = makeImage(k, 0)->SaveToBytes();
        for (int strength : {1, 20, 60, 100}) {
            SCOPED_TRACE(testing::Message() << k.colors << " colours, transparent " << k.transparent << ", "
                                            << k.width << "x" << k.height << ", strength " << strength);
            auto image = makeImage(k, strength);
            const Bytes bytes = image->SaveToBytes();
            EXPECT_LE(bytes.size(), lossless.size());
            TGIFImage back;
            back.LoadFromBytes(bytes.data(), bytes.size());
            ASSERT_EQ(back.Images().GetCount(), 1);
            const std::vector<std::uint8_t>& given = image->Images().GetImage(0)->Data();
            const std::vector<std::uint8_t>& read = back.Images().GetImage(0)->Data();
            ASSERT_EQ(read.size(), given.size());
            const std::vector<Color> colors = rampColors(k.colors);
            const double bound = lossyColorBound(strength);
            int changed = 0;
            for (std::size_t i = 0; i < given.size(); ++i) {
                ASSERT_EQ(read[i] == k.transparent, given[i] == k.transparent) << "pixel " << i;
                ASSERT_LT(read[i], k.colors);
                ASSERT_LE(distance(colors[read[i]], colors[given[i]]), bound + 1e-9) << "pixel " << i;
                changed += read[i] != given[i];
            }
            if (strength >= 60 && k.colors == 256) {
                EXPECT_GT(changed, 0);  // the bound was used
            }
#ifdef PELKO_HAVE_GIFLIB
            const test::RefImage ref = test::readWithGiflib(bytes);
            ASSERT_TRUE(ref.ok) << "giflib error " << ref.error;
            ASSERT_EQ(ref.frames.size(), 1u);
            EXPECT_EQ(ref.frames[0].pixels, read);
#endif
        }
    }
}

// Strength 0 is the lossless encoder; a bound below the smallest distance
// between two entries builds the same dictionary and so the same bytes.
TEST(LossyLzw, NoStandInGivesTheLosslessBytes)
{
    for (const Case& k : kCases) {
        const Bytes lossless = makeImage(k, 0)->SaveToBytes();
        EXPECT_EQ(makeImage(k, 1)->SaveToBytes(), lossless) << k.colors << " colours";
    }
    // a large image fills the dictionary and clears it many times
    const Case big{256, -1, false, 700, 500};
    EXPECT_EQ(makeImage(big, 1)->SaveToBytes(), makeImage(big, 0)->SaveToBytes());
    EXPECT_LT(makeImage(big, 80)->SaveToBytes().size(), makeImage(big, 0)->SaveToBytes().size() * 9 / 10);
}

TEST(LossyLzw, ThreadsDoNotChangeTheBytes)
{
    const Case k{256, 12, false, 120, 90};
    const Bytes serial = makeImage(k, 70, 6, 1)->SaveToBytes();
    for (int threads : {2, 3})
        EXPECT_EQ(makeImage(k, 70, 6, threads)->SaveToBytes(), serial) << threads << " threads";
}

}  // namespace
}  // namespace pelko
