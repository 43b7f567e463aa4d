#include <gtest/gtest.h>

#include "engine/colour/color_reduction.h"
#include "engine/colour/dither.h"

#include <vector>

namespace pelko {
namespace {

const TDitherMode kAllModes[] = {dmNearest, dmFloydSteinberg, dmStucki, dmSierra,
                                 dmJaJuNI,  dmSteveArche,     dmBurkes};

// Black and white through the fast lookup; records the values it was handed.
class RecordingLookup final : public TColorLookup {
public:
    RecordingLookup() : TColorLookup(2) {}
    int lookup(int r, int g, int b, RGBTriple& chosen) override
    {
        for (int v : {r, g, b}) {
            minSeen = std::min(minSeen, v);
            maxSeen = std::max(maxSeen, v);
        }
        return inner.lookup(r, g, b, chosen);
    }
    TMonochromeLookup inner;
    int minSeen = 1000, maxSeen = -1000;
};

// Runs a ditherer over width x height pixels of colour(x, y), serpentine.
template <class F>
std::vector<int> run(TDitherEngine& d, int width, int height, F colour)
{
    std::vector<int> out(std::size_t(width * height), -1);
    RGBTriple chosen;
    for (int y = 0; y < height; ++y) {
        for (int i = 0; i < width; ++i) {
            int x = d.column();
            Color c = colour(x, y);
            out[std::size_t(y * width + x)] = d.Dither(redOf(c), greenOf(c), blueOf(c), chosen);
        }
        d.NextLine();
    }
    return out;
}

TEST(Dither, RowsRunSerpentine)
{
    TMonochromeLookup lookup;
    auto d = makeDitherer(dmNearest, 3, lookup);
    RGBTriple chosen;
    std::vector<int> columns;
    for (int y = 0; y < 3; ++y) {
        for (int i = 0; i < 3; ++i) {
            columns.push_back(d->column());
            d->Dither(0, 0, 0, chosen);
        }
        d->NextLine();
    }
    EXPECT_EQ(columns, (std::vector<int>{0, 1, 2, 2, 1, 0, 0, 1, 2}));
}

TEST(Dither, NarrowRowsAndLargeErrorsStayInBounds)
{
    // Width 1 and 2 rows make every kernel reach into the margins; the
    // alternating extremes build up errors that clamping must contain.
    for (TDitherMode mode : kAllModes) {
        for (int width : {1, 2, 5}) {
            RecordingLookup lookup;
            auto d = makeDitherer(mode, width, lookup);
            run(*d, width, 12,
                [](int x, int y) { return ((x + y) % 3) ? rgb(250, 5, 128) : rgb(128, 250, 5); });
            EXPECT_GE(lookup.minSeen, 0) << mode;
            EXPECT_LE(lookup.maxSeen, 255) << mode;
        }
    }
}

TEST(Dither, UniformColourBetweenTwoEntriesBecomesAMixture)
{
    TMonochromeLookup lookup;
    for (TDitherMode mode : kAllModes) {
        auto d = makeDitherer(mode, 16, lookup);
        auto out = run(*d, 16, 16, [](int, int) { return rgb(128, 128, 128); });
        int white = 0;
        for (int v : out) white += v;
        if (mode == dmNearest) {
            EXPECT_EQ(white, 256);
        } else {
            // About half of each.
            EXPECT_GT(white, 96) << mode;
            EXPECT_LT(white, 160) << mode;
        }
    }
}

TEST(Dither, FloydSteinbergPendingValues)
{
    // Grey 100 twice per row through black and white: the first pixel leaves
    // 3e to its slot, the second completes the first's slot with 5e' + 3e'',
    // and the row's end writes the last pending value after it.
    TMonochromeLookup lookup;
    TFloydSteinbergDitherer d(2, lookup);
    RGBTriple chosen;
    EXPECT_EQ(d.Dither(100, 100, 100, chosen), 0);  // e = 100
    EXPECT_EQ(d.Dither(100, 100, 100, chosen), 1);  // 100 + (700 + 8) / 16 = 144, e = -111
    d.NextLine();
    for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(d.buffer(ch), (std::vector<std::int32_t>{300, 167, -455, 0}));
    EXPECT_EQ(d.position(), 3);
    EXPECT_EQ(d.column(), 1);
    EXPECT_EQ(d.Dither(100, 100, 100, chosen), 0);  // slot 3 holds 0
    // Slot 2 carries -455, and 700 comes from the pixel before: 100 + 253 / 16.
    EXPECT_EQ(d.Dither(100, 100, 100, chosen), 0);
    EXPECT_EQ(d.carried(0), 7 * 115);
}

TEST(Dither, FloydSteinbergExactColourTouchesNothing)
{
    TMonochromeLookup lookup;
    TFloydSteinbergDitherer d(4, lookup);
    RGBTriple chosen;
    d.Dither(100, 100, 100, chosen);  // leaves error behind
    auto buffer = d.buffer(0);
    auto b = d.pending(0), bp = d.pendingPrevious(0);
    // White plus the carried 700 / 16 clamps to 255, which is exact.
    d.Dither(255, 255, 255, chosen);
    EXPECT_EQ(chosen.red, 255);
    EXPECT_EQ(d.buffer(0), buffer);
    EXPECT_EQ(d.pending(0), b);
    EXPECT_EQ(d.pendingPrevious(0), bp);
    EXPECT_EQ(d.carried(0), 0);
}

TEST(Dither, ReductionMatchesPixelByPixelDithering)
{
    // The reduction runs its common ditherers row-wise without virtual
    // calls; it must give what Dither() gives pixel by pixel.
    const int w = 37, h = 23;
    Bitmap src(w, h, pf24bit);
    std::uint32_t seed = 7;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w * 3; ++x) {
            seed = seed * 1664525u + 1013904223u;
            src.scanline(y)[x] = std::uint8_t((x * 5 + y * 9) % 256 / 2 + (seed >> 27));
        }
    Palette pal = quantizedPalette(src, 16);
    for (TDitherMode mode : kAllModes) {
        Bitmap reduced = ReduceColors(src, rmPalette, mode, 8, &pal);
        TFastColorLookup lookup(pal);
        auto d = makeDitherer(mode, w, lookup);
        auto want = run(*d, w, h, [&](int x, int y) { return src.color(x, y); });
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(reduced.index(x, y), want[std::size_t(y * w + x)]) << mode;
    }
}

TEST(Dither, NearestGivesOneIndexPerColour)
{
    Bitmap src(7, 5, pf24bit);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            std::uint8_t* p = src.scanline(y) + x * 3;
            p[0] = std::uint8_t(x & 1 ? 200 : 30);
            p[1] = 90;
            p[2] = std::uint8_t(x & 1 ? 10 : 240);
        }
    Bitmap out = ReduceColors(src, rmWindows256, dmNearest, 8);
    ASSERT_EQ(out.pixelFormat(), pf8bit);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(out.index(x, y), out.index(x & 1, 0));
}

}  // namespace
}  // namespace pelko
