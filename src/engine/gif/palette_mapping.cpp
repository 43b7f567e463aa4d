#include "engine/gif/palette_mapping.h"

#include <algorithm>
#include <climits>
#include <cmath>
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

class NearestEntry {
public:
    explicit NearestEntry(const Palette& palette) : palette_(palette), cells_(std::size_t(1) << 18, 0xFFFF) {}

    int operator()(int r, int g, int b)
    {
        const std::size_t cell =
            (std::size_t(r >> 2) << 12) | (std::size_t(g >> 2) << 6) | std::size_t(b >> 2);
        std::uint16_t& v = cells_[cell];
        if (v == 0xFFFF)
            v = std::uint16_t(search((r & ~3) + 2, (g & ~3) + 2, (b & ~3) + 2));
        return v;
    }

private:
    int search(int r, int g, int b) const
    {
        int best = 0, bestD = INT_MAX;
        for (std::size_t i = 0; i < palette_.size(); ++i) {
            const int d = distance(r, g, b, palette_[i]);
            if (d < bestD) {
                bestD = d;
                best = int(i);
            }
        }
        return best;
    }

    const Palette& palette_;
    std::vector<std::uint16_t> cells_;
};

std::uint8_t clampChannel(int v)
{
    return std::uint8_t(std::clamp(v, 0, 255));
}

}  // namespace

MappedFrame mapToPalette(const Bitmap& bitmap, const Palette& palette, bool diffuse,
                         const ShownFrame* previous)
{
    MappedFrame out;
    const Bitmap* src = &bitmap;
    Bitmap converted;
    if (bitmap.pixelFormat() != pf24bit) {
        converted = bitmap.converted(pf24bit);
        src = &converted;
    }
    const int w = src->width(), h = src->height();
    out.bitmap = Bitmap(w, h, pf8bit);
    const Palette used(palette.begin(),
                       palette.begin() + std::ptrdiff_t(std::min<std::size_t>(palette.size(), 256)));
    out.bitmap.setPalette(used);
    out.shown.width = w;
    out.shown.height = h;
    out.shown.source.resize(std::size_t(w) * std::size_t(h));
    out.shown.shown.resize(out.shown.source.size());
    if (palette.empty() || w == 0 || h == 0)
        return out;

    NearestEntry nearest(used);
    std::unordered_map<Color, int> indexOf;
    for (int i = int(used.size()) - 1; i >= 0; --i) indexOf[used[std::size_t(i)]] = i;
    const bool stable = previous && previous->width == w && previous->height == h;

    // errors for this row and the next, in 1/16, with a cell of margin on each side
    std::vector<int> errThis(std::size_t(w + 2) * 3, 0), errNext(std::size_t(w + 2) * 3, 0);
    std::size_t at = 0;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = src->scanline(y);
        std::uint8_t* o = out.bitmap.scanline(y);
        std::fill(errNext.begin(), errNext.end(), 0);
        for (int x = 0; x < w; ++x, ++at) {
            const int sr = in[3 * x + 2], sg = in[3 * x + 1], sb = in[3 * x];
            const Color source = rgb(std::uint8_t(sr), std::uint8_t(sg), std::uint8_t(sb));
            out.shown.source[at] = source;
            int* e = &errThis[std::size_t(x + 1) * 3];
            int r = sr, g = sg, b = sb;
            if (diffuse) {
                r = clampChannel(sr + e[0] / 16);
                g = clampChannel(sg + e[1] / 16);
                b = clampChannel(sb + e[2] / 16);
            }
            int index = nearest(r, g, b);
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
