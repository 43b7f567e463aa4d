#include "engine/image/resample.h"

#include <algorithm>
#include <array>
#include <vector>

#include "engine/base/parallel.h"

namespace pelko {

float bSplineWeight(float t)
{
    auto cube = [](float u) { return u > 0.0f ? u * u * u : 0.0f; };
    return (cube(t + 2.0f) - 4.0f * cube(t + 1.0f) + 6.0f * cube(t) - 4.0f * cube(t - 1.0f)) / 6.0f;
}

namespace {

// The four source positions and weights of one destination row or column.
struct Taps {
    std::array<int, 4> index;
    std::array<float, 4> weight;
};

// Taps for destination positions 0..dstSide-1 over a source side of srcSide.
std::vector<Taps> makeTaps(int srcSide, int dstSide)
{
    std::vector<Taps> taps(static_cast<std::size_t>(dstSide));
    const float scale = float(srcSide) / float(dstSide);
    for (int d = 0; d < dstSide; ++d) {
        const float pos = float(d) * scale;
        const int ip = int(pos);
        const float f = pos - float(ip);
        int centre = ip;
        if (ip < 1)
            centre = 1;
        else if (ip >= srcSide - 2)
            centre = srcSide - 3;
        Taps& t = taps[std::size_t(d)];
        for (int k = 0; k < 4; ++k)
            // sources narrower than 4 pixels repeat their edge pixels
            t.index[std::size_t(k)] = std::clamp(centre - 1 + k, 0, srcSide - 1);
        t.weight = {bSplineWeight(f + 1.0f), bSplineWeight(f), bSplineWeight(f - 1.0f),
                    bSplineWeight(f - 2.0f)};
    }
    return taps;
}

std::uint8_t toByte(float v)
{
    const float r = v + 0.5f;
    if (r <= 0.0f)
        return 0;
    if (r >= 255.0f)
        return 255;
    return std::uint8_t(int(r));
}

void resampleRows(const Picture& src, Picture& dst, const std::vector<Taps>& cols,
                  const std::vector<Taps>& rows, int y0, int y1)
{
    const int dw = dst.width();
    for (int j = y0; j < y1; ++j) {
        const Taps& ry = rows[std::size_t(j)];
        const std::uint8_t* srow[4];
        for (int m = 0; m < 4; ++m) srow[m] = src.row(ry.index[std::size_t(m)]);
        std::uint8_t* out = dst.row(j);
        for (int i = 0; i < dw; ++i) {
            const Taps& cx = cols[std::size_t(i)];
            float b = 0.0f, g = 0.0f, r = 0.0f;
            for (int m = 0; m < 4; ++m) {
                const float wy = ry.weight[std::size_t(m)];
                for (int n = 0; n < 4; ++n) {
                    const float w = wy * cx.weight[std::size_t(n)];
                    const std::uint8_t* p = srow[m] + std::size_t(cx.index[std::size_t(n)]) * 3;
                    b += w * float(p[0]);
                    g += w * float(p[1]);
                    r += w * float(p[2]);
                }
            }
            out[0] = toByte(b);
            out[1] = toByte(g);
            out[2] = toByte(r);
            out += 3;
        }
    }
}

}  // namespace

Picture resamplePicture(const Picture& src, int dstWidth, int dstHeight)
{
    Picture dst(std::max(0, dstWidth), std::max(0, dstHeight));
    if (dst.empty() || src.empty())
        return dst;
    const std::vector<Taps> cols = makeTaps(src.width(), dst.width());
    const std::vector<Taps> rows = makeTaps(src.height(), dst.height());

    // Large pictures are split into bands of rows, one per core (at most
    // 8); each output pixel depends only on the source, so the result is
    // the same.
    const long long work = (long long)dst.width() * dst.height();
    const int bands = work >= 512 * 512 ? std::min(workerCount(0), 8) : 1;
    const int band = (dst.height() + bands - 1) / bands;
    parallelFor(bands, bands, [&](int b) {
        const int y0 = b * band, y1 = std::min(dst.height(), y0 + band);
        if (y0 < y1)
            resampleRows(src, dst, cols, rows, y0, y1);
    });
    return dst;
}

FitSize fittedSize(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight)
{
    const float rw = float(double(pictureWidth) / double(boxWidth));
    const float rh = float(double(pictureHeight) / double(boxHeight));
    const float r = rw > rh ? rw : rh;
    return {int(double(pictureWidth) / double(r)), int(double(pictureHeight) / double(r))};
}

Picture fitPicture(const Picture& src, int boxWidth, int boxHeight)
{
    Picture box(std::max(0, boxWidth), std::max(0, boxHeight));
    if (box.empty() || src.empty())
        return box;
    const int pw = src.width(), ph = src.height();
    const int bw = box.width(), bh = box.height();
    if (pw < bw && ph < bh) {
        box.draw(src, (bw - pw) / 2, (bh - ph) / 2);
        return box;
    }
    const FitSize s = fittedSize(pw, ph, bw, bh);
    const Picture scaled = resamplePicture(src, s.width, s.height);
    const int x = s.width < bw ? (bw - s.width) / 2 : 0;
    const int y = s.height < bh ? (bh - s.height) / 2 : 0;
    box.draw(scaled, x, y);
    return box;
}

}  // namespace pelko
