#include "engine/gif/refine_palette.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace pelko {

namespace {

constexpr int kBinBits = 6;
constexpr int kBinShift = 8 - kBinBits;

struct Centre {
    double red, green, blue;
};

std::vector<Centre> centresOf(const Palette& palette)
{
    std::vector<Centre> c;
    c.reserve(palette.size());
    for (Color p : palette) c.push_back({double(redOf(p)), double(greenOf(p)), double(blueOf(p))});
    return c;
}

// Index of the centre nearest to the bin, and the squared distance.
int nearest(const std::vector<Centre>& centres, const ColorHistogram::Bin& b, double& distance)
{
    int best = 0;
    double bestD = DBL_MAX;
    for (std::size_t i = 0; i < centres.size(); ++i) {
        const double dr = b.red - centres[i].red;
        double d = dr * dr;
        if (d >= bestD)
            continue;
        const double dg = b.green - centres[i].green;
        d += dg * dg;
        if (d >= bestD)
            continue;
        const double db = b.blue - centres[i].blue;
        d += db * db;
        if (d < bestD) {
            bestD = d;
            best = int(i);
        }
    }
    distance = bestD;
    return best;
}

std::uint8_t channel(double v)
{
    return std::uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

ColorHistogram::ColorHistogram(const Bitmap& bitmap, const std::vector<std::uint8_t>& weights)
{
    constexpr std::size_t kBins = std::size_t(1) << (3 * kBinBits);
    struct Sum {
        double weight = 0, red = 0, green = 0, blue = 0;
    };
    std::vector<Sum> sums(kBins);
    const Bitmap* src = &bitmap;
    Bitmap converted;
    if (bitmap.pixelFormat() != pf24bit) {
        converted = bitmap.converted(pf24bit);
        src = &converted;
    }
    const bool weighted = weights.size() == std::size_t(src->width()) * std::size_t(src->height());
    std::size_t at = 0;
    for (int y = 0; y < src->height(); ++y) {
        const std::uint8_t* p = src->scanline(y);
        for (int x = 0; x < src->width(); ++x, p += 3, ++at) {
            const std::size_t key = (std::size_t(p[2] >> kBinShift) << (2 * kBinBits)) |
                                    (std::size_t(p[1] >> kBinShift) << kBinBits) |
                                    std::size_t(p[0] >> kBinShift);
            const double w = weighted ? double(weights[at]) : 1.0;
            Sum& s = sums[key];
            s.weight += w;
            s.red += w * p[2];
            s.green += w * p[1];
            s.blue += w * p[0];
        }
    }
    for (const Sum& s : sums)
        if (s.weight > 0)
            bins_.push_back({s.weight, s.red / s.weight, s.green / s.weight, s.blue / s.weight});
}

double ColorHistogram::error(const Palette& palette) const
{
    if (palette.empty())
        return 0;
    const std::vector<Centre> centres = centresOf(palette);
    double total = 0;
    for (const Bin& b : bins_) {
        double d;
        nearest(centres, b, d);
        total += b.weight * d;
    }
    return total;
}

Palette refinePalette(const ColorHistogram& histogram, const Palette& start, int passes)
{
    if (start.empty() || histogram.bins().empty())
        return start;
    struct Sum {
        double weight = 0, red = 0, green = 0, blue = 0;
    };
    std::vector<Sum> sums(start.size());
    Palette best = start;
    double bestError = DBL_MAX;
    Palette current = start;
    // Each sweep measures the current palette (held in whole numbers, as it
    // will be used) and gathers the means that make the next one.
    for (int pass = 0; pass <= passes; ++pass) {
        const std::vector<Centre> centres = centresOf(current);
        std::fill(sums.begin(), sums.end(), Sum{});
        double error = 0;
        for (const ColorHistogram::Bin& b : histogram.bins()) {
            double d;
            Sum& s = sums[std::size_t(nearest(centres, b, d))];
            error += b.weight * d;
            s.weight += b.weight;
            s.red += b.weight * b.red;
            s.green += b.weight * b.green;
            s.blue += b.weight * b.blue;
        }
        if (error >= bestError)
            break;
        best = current;
        bestError = error;
        if (pass == passes)
            break;
        for (std::size_t i = 0; i < sums.size(); ++i)
            if (sums[i].weight > 0)
                current[i] =
                    rgb(channel(sums[i].red / sums[i].weight), channel(sums[i].green / sums[i].weight),
                        channel(sums[i].blue / sums[i].weight));
        if (current == best)
            break;
    }
    return best;
}

}  // namespace pelko
