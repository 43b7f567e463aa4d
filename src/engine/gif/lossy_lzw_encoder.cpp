#include "engine/gif/lossy_lzw_encoder.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace pelko {

namespace {
constexpr int kMaxLzwCode = 4095;
}

double lossyColorBound(int strength)
{
    return std::clamp(strength, 0, 100) * 0.48;
}

TLossyLZWEncoder::TLossyLZWEncoder(int strength, const Color* colors, int count, int transparent)
    : near_(256 * 256, -1)
{
    const double bound = lossyColorBound(strength);
    const std::int32_t limit = std::int32_t(std::floor(bound * bound));
    count = std::clamp(count, 0, 256);
    for (int a = 0; a < count; ++a) {
        near_[std::size_t(a) * 256 + std::size_t(a)] = 0;
        if (a == transparent)
            continue;
        for (int b = 0; b < count; ++b) {
            if (b == a || b == transparent)
                continue;
            const std::int32_t d = squaredDistance(colors[a], colors[b]);
            if (d <= limit)
                near_[std::size_t(a) * 256 + std::size_t(b)] = d;
        }
    }
    // indices past the map (refused while coding) stand only for themselves
    for (int a = count; a < 256; ++a) near_[std::size_t(a) * 256 + std::size_t(a)] = 0;
}

void TLossyLZWEncoder::Clear()
{
    TLZWEncoder::Clear();
    std::fill(firstChild_.begin(), firstChild_.end(), std::int16_t(-1));
    std::fill(recent_.begin(), recent_.end(), std::int16_t(-1));
}

void TLossyLZWEncoder::Compress()
{
    firstChild_.assign(4096, -1);
    recent_.assign(4096, -1);
    nextSibling_.assign(4096, -1);
    suffix_.assign(4096, 0);
    nextFree_ = clearCode_ + 2;
    Clear();

    const unsigned limit = unsigned(source_.colorLimit);
    const int width = source_.width;
    std::int16_t* const firstChild = firstChild_.data();
    std::int16_t* const nextSibling = nextSibling_.data();
    const std::uint8_t* const suffix = suffix_.data();
    std::int16_t* const recent = recent_.data();
    bool first = true;
    int prefix = 0;
    for (int y : scanRows()) {
        const std::uint8_t* p = row(y);
        for (int x = 0; x < width; ++x) {
            const unsigned c = p[x];
            if (c >= limit)
                colorNotInTable();
            if (first) {
                prefix = int(c);
                first = false;
                continue;
            }
            // The exact string last taken after this prefix answers most
            // lookups without a walk.
            const int hint = recent[prefix];
            if (hint >= 0 && suffix[hint] == c) {
                prefix = hint;
                continue;
            }
            // The exact string when the dictionary has it, else the nearest
            // one within the bound (the first of equals).
            const std::int32_t* nearC = near_.data() + std::size_t(c) * 256;
            int best = -1;
            std::int32_t bestDistance = INT_MAX;
            for (int k = firstChild[prefix]; k >= 0; k = nextSibling[k]) {
                const std::int32_t d = nearC[suffix[k]];
                if (d < 0 || d >= bestDistance)
                    continue;
                best = k;
                bestDistance = d;
                if (d == 0)
                    break;  // the colour itself, or an entry just like it
            }
            if (best >= 0) {
                if (bestDistance == 0 && suffix[best] == c)
                    recent[prefix] = std::int16_t(best);
                prefix = best;
                continue;
            }
            Output(prefix);
            const int parent = prefix;
            prefix = int(c);
            if (nextFree_ >= kMaxLzwCode) {
                Clear();
            } else {
                const int code = nextFree_++;
                suffix_[std::size_t(code)] = std::uint8_t(c);
                firstChild[code] = -1;
                nextSibling[code] = firstChild[parent];
                firstChild[parent] = std::int16_t(code);
                recent[parent] = std::int16_t(code);
            }
        }
    }
    Output(prefix);
}

}  // namespace pelko
