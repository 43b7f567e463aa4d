#include "engine/gif/palette_mapping.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <unordered_map>

namespace pelko {

namespace {

// A source pixel this close (squared) to the one before counts as unchanged.
constexpr int kStill = 7 * 7;
// The colour shown before is kept when it is at most this much farther (in
// RGB distance) from the colour wanted than the nearest entry: twice the
// still distance, so that without diffusion an unchanged pixel always keeps
// its colour.
constexpr double kKeepSlack = 14.0;

int distance(int r, int g, int b, Color c)
{
    const int dr = r - int(redOf(c)), dg = g - int(greenOf(c)), db = b - int(blueOf(c));
    return dr * dr + dg * dg + db * db;
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

std::uint8_t clampChannel(int v)
{
    return std::uint8_t(std::clamp(v, 0, 255));
}

}  // namespace

PaletteMapper::PaletteMapper(const Bitmap& bitmap, const Palette& palette, bool diffuse)
    : src_(&bitmap),
      used_(palette.begin(), palette.begin() + std::ptrdiff_t(std::min<std::size_t>(palette.size(), 256))),
      diffuse_(diffuse)
{
    if (bitmap.pixelFormat() != pf24bit) {
        converted_ = bitmap.converted(pf24bit);
        src_ = &converted_;
    }
    const int w = src_->width(), h = src_->height();
    source_.resize(std::size_t(w) * std::size_t(h));
    if (!diffuse_ && !used_.empty())
        nearest_.resize(source_.size());
    std::optional<NearestEntry> nearest;
    if (!nearest_.empty())
        nearest.emplace(used_);
    std::size_t at = 0;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = src_->scanline(y);
        for (int x = 0; x < w; ++x, ++at) {
            const int r = in[3 * x + 2], g = in[3 * x + 1], b = in[3 * x];
            source_[at] = rgb(std::uint8_t(r), std::uint8_t(g), std::uint8_t(b));
            if (nearest)
                nearest_[at] = std::uint8_t((*nearest)(r, g, b));
        }
    }
}

MappedFrame PaletteMapper::map(const ShownFrame* previous)
{
    MappedFrame out;
    const int w = src_->width(), h = src_->height();
    out.bitmap = Bitmap(w, h, pf8bit);
    const Palette& used = used_;
    const bool diffuse = diffuse_;
    out.bitmap.setPalette(used);
    out.shown.width = w;
    out.shown.height = h;
    out.shown.source = source_;
    out.shown.shown.resize(out.shown.source.size());
    if (used.empty() || w == 0 || h == 0)
        return out;

    std::optional<NearestEntry> nearest;
    if (diffuse)
        nearest.emplace(used);
    std::unordered_map<Color, int> indexOf;
    for (int i = int(used.size()) - 1; i >= 0; --i) indexOf[used[std::size_t(i)]] = i;
    const bool stable = previous && previous->width == w && previous->height == h;

    // errors for this row and the next, in 1/16, with a cell of margin on each side
    std::vector<int> errThis(std::size_t(w + 2) * 3, 0), errNext(std::size_t(w + 2) * 3, 0);
    std::size_t at = 0;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = src_->scanline(y);
        std::uint8_t* o = out.bitmap.scanline(y);
        std::fill(errNext.begin(), errNext.end(), 0);
        for (int x = 0; x < w; ++x, ++at) {
            const int sr = in[3 * x + 2], sg = in[3 * x + 1], sb = in[3 * x];
            int* e = &errThis[std::size_t(x + 1) * 3];
            int r = sr, g = sg, b = sb;
            if (diffuse) {
                r = clampChannel(sr + e[0] / 16);
                g = clampChannel(sg + e[1] / 16);
                b = clampChannel(sb + e[2] / 16);
            }
            int index = diffuse ? (*nearest)(r, g, b) : nearest_[at];
            if (stable && distance(sr, sg, sb, previous->source[at]) <= kStill) {
                const Color before = previous->shown[at];
                if (before != used[std::size_t(index)] &&
                    std::sqrt(double(distance(r, g, b, before))) <=
                        std::sqrt(double(distance(r, g, b, used[std::size_t(index)]))) + kKeepSlack) {
                    const auto found = indexOf.find(before);
                    if (found != indexOf.end())
                        index = found->second;
                }
            }
            o[x] = std::uint8_t(index);
            const Color chosen = used[std::size_t(index)];
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
    return out;
}

}  // namespace pelko
