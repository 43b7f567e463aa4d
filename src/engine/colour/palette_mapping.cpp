#include "engine/colour/palette_mapping.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <optional>

namespace pelko {

namespace {

int distance(int r, int g, int b, Color c)
{
    return squaredDistance(rgb(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)), c);
}

// The exact nearest entry (the lowest index of equals): the entries sorted
// by green, a search walking out from the colour's green until green alone
// is farther than the best; answers kept in a small cache by colour.
class NearestEntry {
public:
    explicit NearestEntry(const Palette& palette) : cache_(kCacheSize, kEmpty)
    {
        order_.resize(palette.size());
        for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = int(i);
        std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
            return greenOf(palette[std::size_t(a)]) < greenOf(palette[std::size_t(b)]);
        });
        for (int i : order_) sorted_.push_back(palette[std::size_t(i)]);
    }

    int operator()(int r, int g, int b)
    {
        const std::uint32_t key = std::uint32_t(r) | (std::uint32_t(g) << 8) | (std::uint32_t(b) << 16);
        std::uint32_t& slot = cache_[(key * 2654435761u) >> (32 - kCacheBits)];
        if ((slot & 0xFFFFFF) == key && slot != kEmpty)
            return int(slot >> 24);
        const int index = search(r, g, b);
        slot = key | (std::uint32_t(index) << 24);
        return index;
    }

private:
    static constexpr int kCacheBits = 16;
    static constexpr std::size_t kCacheSize = std::size_t(1) << kCacheBits;
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;  // white at index 255: looked up again

    int search(int r, int g, int b) const
    {
        const int n = int(sorted_.size());
        int hi = int(std::lower_bound(sorted_.begin(), sorted_.end(), g,
                                      [](Color c, int v) { return int(greenOf(c)) < v; }) -
                     sorted_.begin());
        int lo = hi - 1;
        int best = -1, bestD = INT_MAX;
        auto consider = [&](int k) {
            const int d = distance(r, g, b, sorted_[std::size_t(k)]);
            if (d < bestD || (d == bestD && order_[std::size_t(k)] < order_[std::size_t(best)])) {
                bestD = d;
                best = k;
            }
        };
        for (;;) {
            bool any = false;
            if (hi < n) {
                const int dg = int(greenOf(sorted_[std::size_t(hi)])) - g;
                if (dg * dg <= bestD) {
                    consider(hi++);
                    any = true;
                } else {
                    hi = n;
                }
            }
            if (lo >= 0) {
                const int dg = g - int(greenOf(sorted_[std::size_t(lo)]));
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
        return order_[std::size_t(best)];
    }

    std::vector<int> order_;
    Palette sorted_;
    std::vector<std::uint32_t> cache_;
};

// The middle of a channel value's cell of 4: the colours looked up
// beforehand are those of cells of 4 x 4 x 4 values, so that a photograph's
// many colours come down to few lookups.
int cellCentre(int v)
{
    return (v & ~3) | 2;
}

std::uint8_t clampChannel(int v)
{
    return std::uint8_t(std::clamp(v, 0, 255));
}

}  // namespace

PaletteMapper::PaletteMapper(const Bitmap& bitmap, const Palette& palette, bool diffuse,
                             const std::vector<std::uint8_t>& wanted, bool byCell)
    : src_(&bitmap),
      used_(palette.begin(), palette.begin() + std::ptrdiff_t(std::min<std::size_t>(palette.size(), 256))),
      diffuse_(diffuse)
{
    if (bitmap.pixelFormat() != pf24bit) {
        converted_ = bitmap.converted(pf24bit);
        src_ = &converted_;
    }
    if (diffuse_ || used_.empty())
        return;
    const int w = src_->width(), h = src_->height();
    nearest_.resize(std::size_t(w) * std::size_t(h));
    if (wanted.size() == nearest_.size())
        known_ = wanted;
    NearestEntry nearest(used_);
    std::size_t at = 0;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = src_->scanline(y);
        for (int x = 0; x < w; ++x, ++at)
            if (known_.empty() || known_[at])
                nearest_[at] = std::uint8_t(byCell ? nearest(cellCentre(in[3 * x + 2]),
                                                             cellCentre(in[3 * x + 1]), cellCentre(in[3 * x]))
                                                   : nearest(in[3 * x + 2], in[3 * x + 1], in[3 * x]));
    }
}

MappedFrame PaletteMapper::map(const ShownFrame* previous, KeepRule keep)
{
    MappedFrame out;
    const int w = src_->width(), h = src_->height();
    out.bitmap = Bitmap(w, h, pf8bit);
    const Palette& used = used_;
    const bool diffuse = diffuse_;
    out.bitmap.setPalette(used);
    out.shown.width = w;
    out.shown.height = h;
    out.shown.shown.resize(std::size_t(w) * std::size_t(h));
    if (used.empty() || w == 0 || h == 0)
        return out;

    std::optional<NearestEntry> nearest;
    if (diffuse || !known_.empty())
        nearest.emplace(used);
    // (kept pixels need an entry left over for transparency)
    const bool stable = previous && previous->width == w && previous->height == h &&
                        previous->shown.size() == out.shown.shown.size() && used.size() <= 255;
    std::unique_ptr<Bitmap> mask;
    if (stable)
        mask = std::make_unique<Bitmap>(w, h, pf1bit);
    const float slack = float(std::max(0.0, keep.slack));
    const float tolerance2 = float(std::max(0.0, keep.tolerance) * std::max(0.0, keep.tolerance));
    const bool runs = !diffuse && keep.run > 0;
    const float run2 = float(keep.run * keep.run);

    // errors for this row and the next, in 1/16, with a cell of margin on each side
    std::vector<int> errThis(std::size_t(w + 2) * 3, 0), errNext(std::size_t(w + 2) * 3, 0);
    std::size_t at = 0;
    int last = 0;  // the last colour taken; a kept pixel holds it until it is made transparent
    bool leftKept = false;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = src_->scanline(y);
        std::uint8_t* o = out.bitmap.scanline(y);
        std::uint8_t* m = mask ? mask->scanline(y) : nullptr;
        std::fill(errNext.begin(), errNext.end(), 0);
        leftKept = false;
        for (int x = 0; x < w; ++x, ++at) {
            const int sr = in[3 * x + 2], sg = in[3 * x + 1], sb = in[3 * x];
            int* e = &errThis[std::size_t(x + 1) * 3];
            int r = sr, g = sg, b = sb;
            if (diffuse) {
                r = clampChannel(sr + e[0] / 16);
                g = clampChannel(sg + e[1] / 16);
                b = clampChannel(sb + e[2] / 16);
            }
            // the nearest entry, looked up when first needed
            int index = -1;
            auto nearestIndex = [&] {
                if (index < 0)
                    index = diffuse || (!known_.empty() && !known_[at]) ? (*nearest)(r, g, b) : nearest_[at];
                return index;
            };
            Color chosen = 0;
            bool kept = false;
            bool decided = false;
            if (runs && x > 0) {
                // what the pixel on the left took, when it is close enough
                const Color left = leftKept ? previous->shown[at] : used[std::size_t(last)];
                if (float(distance(sr, sg, sb, left)) <= run2) {
                    decided = true;
                    kept = leftKept;
                    index = last;
                    chosen = left;
                    if (kept) {
                        m[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
                        ++out.kept;
                    }
                }
            }
            if (stable && !decided) {
                const Color before = previous->shown[at];
                const float dBefore = float(distance(sr, sg, sb, before));
                kept = dBefore <= tolerance2;
                if (!kept) {
                    const int dNearest = distance(sr, sg, sb, used[std::size_t(nearestIndex())]);
                    const float bound = std::sqrt(float(dNearest)) + slack;
                    kept = dBefore <= float(dNearest) || (slack > 0 && dBefore <= bound * bound);
                }
                if (kept) {
                    chosen = before;
                    m[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
                    ++out.kept;
                }
            }
            if (!decided && !kept)
                chosen = used[std::size_t(nearestIndex())];
            o[x] = std::uint8_t(kept ? last : index);
            if (!kept)
                last = index;
            leftKept = kept;
            out.shown.shown[at] = chosen;
            if (diffuse) {
                const int er = r - int(redOf(chosen)), eg = g - int(greenOf(chosen)),
                          eb = b - int(blueOf(chosen));
                const int errs[3] = {er, eg, eb};
                for (int c = 0; c < 3; ++c) {
                    errThis[std::size_t(x + 2) * 3 + std::size_t(c)] += errs[c] * 7;
                    errNext[std::size_t(x) * 3 + std::size_t(c)] += errs[c] * 3;
                    errNext[std::size_t(x + 1) * 3 + std::size_t(c)] += errs[c] * 5;
                    errNext[std::size_t(x + 2) * 3 + std::size_t(c)] += errs[c];
                }
            }
        }
        std::swap(errThis, errNext);
    }
    if (out.kept > 0) {
        out.bitmap.setMask(std::move(mask));
        out.bitmap.setTransparent(true);
    }
    return out;
}

}  // namespace pelko
