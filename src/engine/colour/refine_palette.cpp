#include "engine/colour/refine_palette.h"

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

// The centres sorted by green: a search walks out from the bin's green and
// stops once green alone is farther than the best found.
class Centres {
public:
    explicit Centres(const std::vector<Centre>& centres) : order_(centres.size())
    {
        for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = int(i);
        std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
            return centres[std::size_t(a)].green < centres[std::size_t(b)].green;
        });
        for (int i : order_) sorted_.push_back(centres[std::size_t(i)]);
    }

    // Index of the centre nearest to the bin (the lowest of equals), and
    // the squared distance.
    int nearest(const ColorHistogram::Bin& b, double& distance) const
    {
        const int n = int(sorted_.size());
        int hi = int(std::lower_bound(sorted_.begin(), sorted_.end(), b.green,
                                      [](const Centre& c, double g) { return c.green < g; }) -
                     sorted_.begin());
        int lo = hi - 1;
        int best = -1;
        double bestD = DBL_MAX;
        auto consider = [&](int k) {
            const Centre& c = sorted_[std::size_t(k)];
            const double dg = b.green - c.green, dr = b.red - c.red, db = b.blue - c.blue;
            const double d = dg * dg + dr * dr + db * db;
            if (d < bestD || (d == bestD && order_[std::size_t(k)] < order_[std::size_t(best)])) {
                bestD = d;
                best = k;
            }
        };
        while (lo >= 0 || hi < n) {
            bool any = false;
            if (hi < n) {
                const double dg = sorted_[std::size_t(hi)].green - b.green;
                if (dg * dg <= bestD) {
                    consider(hi++);
                    any = true;
                } else {
                    hi = n;
                }
            }
            if (lo >= 0) {
                const double dg = b.green - sorted_[std::size_t(lo)].green;
                if (dg * dg <= bestD) {
                    consider(lo--);
                    any = true;
                } else {
                    lo = -1;
                }
            }
            if (!any)
                break;
        }
        distance = bestD;
        return order_[std::size_t(best)];
    }

private:
    std::vector<int> order_;
    std::vector<Centre> sorted_;
};

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
    // the bins in use, in the order first met, found through slotOf (kept
    // by each thread, and emptied again entry by entry)
    thread_local std::vector<std::int32_t> slotOf;
    if (slotOf.size() != kBins)
        slotOf.assign(kBins, -1);
    std::vector<Sum> sums;
    std::vector<std::size_t> keys;
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
            if (weighted && weights[at] == 0)
                continue;
            const double w = weighted ? double(weights[at]) : 1.0;
            std::int32_t& slot = slotOf[key];
            if (slot < 0) {
                slot = std::int32_t(sums.size());
                sums.emplace_back();
                keys.push_back(key);
            }
            Sum& s = sums[std::size_t(slot)];
            s.weight += w;
            s.red += w * p[2];
            s.green += w * p[1];
            s.blue += w * p[0];
        }
    }
    for (std::size_t key : keys) slotOf[key] = -1;
    for (const Sum& s : sums)
        if (s.weight > 0)
            bins_.push_back({s.weight, s.red / s.weight, s.green / s.weight, s.blue / s.weight});
}

double ColorHistogram::error(const Palette& palette) const
{
    if (palette.empty())
        return 0;
    const Centres centres(centresOf(palette));
    double total = 0;
    for (const Bin& b : bins_) {
        double d;
        centres.nearest(b, d);
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
        const Centres centres(centresOf(current));
        std::fill(sums.begin(), sums.end(), Sum{});
        double error = 0;
        for (const ColorHistogram::Bin& b : histogram.bins()) {
            double d;
            Sum& s = sums[std::size_t(centres.nearest(b, d))];
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
