#include "engine/output/smaller_gif_frames.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "engine/colour/color_reduction.h"
#include "engine/colour/refine_palette.h"
#include "engine/gif/color_modes.h"
#include "engine/gif/gif_types.h"

namespace pelko {

namespace {

constexpr int kKMeansPasses = 2;
// widest row of the bitmap the changed pixels are gathered in
constexpr int kGatherWidth = 1024;
// the most pixels the quantizer looks at
constexpr std::size_t kSampleSize = 65536;
// one in this many pixels that did not change still counts for the palette
constexpr std::size_t kStillShare = 16;
// a source pixel that moved by at most this (RGB distance) did not change
constexpr double kStill = 2.0;

// At full strength (RGB distances): how far a pixel kept may be from the
// colour wanted, how much farther than the palette's colour for it, and how
// far a pixel may be from what its left neighbour took to take the same;
// the mean error a palette may leave grows with the square of the strength.
constexpr double kTolerance = 48;
constexpr double kSlack = 38;
constexpr double kRun = 48;
constexpr double kPaletteError = 38;
// A frame whose changed pixels fill fewer colour bins than this gets
// bounds in proportion (down to kLeastScale of them): keeping simple
// pictures (drawings, text, flat colours) close costs few bytes, while
// every frame counts alike for the eye.
constexpr double kBusyBins = 4000;
constexpr double kLeastScale = 0.3;

KeepRule keepRuleOf(int strength)
{
    const double s = std::clamp(strength, 0, 100) / 100.0;
    return KeepRule{kSlack * s, kTolerance * s, kRun * s};
}

std::vector<Color> colorsOf(const Bitmap& bitmap)
{
    std::vector<Color> out;
    out.reserve(std::size_t(bitmap.width()) * std::size_t(bitmap.height()));
    for (int y = 0; y < bitmap.height(); ++y) {
        const std::uint8_t* p = bitmap.scanline(y);
        for (int x = 0; x < bitmap.width(); ++x, p += 3) out.push_back(rgb(p[2], p[1], p[0]));
    }
    return out;
}

// The pixels a frame's palette is made for: those that moved more than
// `bound` since the frame before, and a few of the others (every pixel
// without a frame before). Their weights (1 or 0, or none for all), and up
// to kSampleSize of them, evenly spread, gathered in a 24-bit bitmap for the
// quantizer.
struct PalettePixels {
    std::vector<std::uint8_t> weights;
    Bitmap sample;
};

PalettePixels palettePixels(const std::vector<Color>& colors, const std::vector<Color>* before, double bound)
{
    PalettePixels out;
    std::size_t count = colors.size();
    if (before && before->size() == colors.size()) {
        out.weights.assign(colors.size(), 0);
        const int limit = int(bound * bound);
        std::size_t still = 0;
        count = 0;
        for (std::size_t i = 0; i < colors.size(); ++i)
            if (squaredDistance(colors[i], (*before)[i]) > limit || ++still % kStillShare == 0) {
                out.weights[i] = 1;
                ++count;
            }
    }
    if (count == 0)
        return out;
    const std::size_t step = (count + kSampleSize - 1) / kSampleSize;
    const int n = int((count + step - 1) / step);
    const int w = std::min(n, kGatherWidth), h = (n + w - 1) / w;
    out.sample = Bitmap(w, h, pf24bit);
    std::size_t taken = 0, seen = 0;
    for (std::size_t i = 0; i < colors.size() && taken < std::size_t(n); ++i) {
        if (!out.weights.empty() && !out.weights[i])
            continue;
        if (seen++ % step != 0)
            continue;
        std::uint8_t* p = out.sample.scanline(int(taken / std::size_t(w))) + 3 * (taken % std::size_t(w));
        p[0] = blueOf(colors[i]);
        p[1] = greenOf(colors[i]);
        p[2] = redOf(colors[i]);
        ++taken;
    }
    // the last row filled up with the first pixels taken
    for (std::size_t k = taken; k < std::size_t(w) * std::size_t(h); ++k) {
        std::uint8_t* p = out.sample.scanline(int(k / std::size_t(w))) + 3 * (k % std::size_t(w));
        const std::uint8_t* q =
            out.sample.scanline(int((k - taken) / std::size_t(w))) + 3 * ((k - taken) % std::size_t(w));
        std::copy(q, q + 3, p);
    }
    return out;
}

}  // namespace

// Publishes null source and shown for a frame unless it published them
// itself, so an error never leaves the frame after it waiting.
class SmallerGifFrames::Publishing {
public:
    Publishing(SmallerGifFrames& owner, int index) : owner_(owner), index_(index) {}
    ~Publishing()
    {
        if (!source)
            owner_.putSource(index_, nullptr);
        if (!shown)
            owner_.putShown(index_, nullptr);
    }
    bool source = false, shown = false;

private:
    SmallerGifFrames& owner_;
    int index_;
};

SmallerGifFrames::SmallerGifFrames(const Project& project, int strength)
    : project_(project),
      keep_(keepRuleOf(strength)),
      changed_(std::max(kStill, keep_.tolerance)),
      paletteError_(kPaletteError * std::pow(std::clamp(strength, 0, 100) / 100.0, 2))
{
}

bool SmallerGifFrames::follows(int index) const
{
    if (index <= 0 || index >= project_.frames.count())
        return false;
    const FrameRecord& a = project_.frames[std::size_t(index - 1)];
    const FrameRecord& b = project_.frames[std::size_t(index)];
    const TDisposalMethod d = TDisposalMethod(a.Gif.DisposalMethod & 7);
    return (d == dmNone || d == dmNoDisposal) && a.Left == b.Left && a.Top == b.Top && a.Width == b.Width &&
           a.Height == b.Height;
}

std::shared_ptr<const SmallerGifFrames::Colors> SmallerGifFrames::takeSource(int index)
{
    if (index < 0)
        return nullptr;
    std::unique_lock lock(mutex_);
    published_.wait(lock, [&] { return slots_[index].hasSource; });
    Slot& slot = slots_[index];
    auto source = std::move(slot.source);
    slot.source.reset();
    return source;
}

std::shared_ptr<const ShownFrame> SmallerGifFrames::takeShown(int index)
{
    if (index < 0)
        return nullptr;
    std::unique_lock lock(mutex_);
    published_.wait(lock, [&] { return slots_[index].hasShown; });
    auto shown = std::move(slots_[index].shown);
    slots_.erase(index);  // each frame is taken by the one after it only, source first
    return shown;
}

void SmallerGifFrames::putSource(int index, std::shared_ptr<const Colors> source)
{
    {
        std::lock_guard lock(mutex_);
        Slot& slot = slots_[index];
        if (slot.hasSource)
            return;
        slot.hasSource = true;
        slot.source = std::move(source);
    }
    published_.notify_all();
}

void SmallerGifFrames::putShown(int index, std::shared_ptr<const ShownFrame> shown)
{
    {
        std::lock_guard lock(mutex_);
        Slot& slot = slots_[index];
        if (slot.hasShown)
            return;
        slot.hasShown = true;
        slot.shown = std::move(shown);
    }
    published_.notify_all();
}

void SmallerGifFrames::skip(int index)
{
    putSource(index, nullptr);
    putShown(index, nullptr);
}

Bitmap SmallerGifFrames::frameBitmap(int index, const Bitmap& working)
{
    Publishing publishing(*this, index);
    const GifFrameSettings& g = project_.frames[std::size_t(index)].Gif;
    const bool applies =
        TColorReduction(g.ColorReduction) == rmQuantize && !working.transparent() && !working.empty();
    if (!applies) {
        putSource(index, nullptr);
        publishing.source = true;
        takeSource(index - 1);
        takeShown(index - 1);
        return working;
    }
    std::optional<Bitmap> converted;
    if (working.pixelFormat() != pf24bit)
        converted.emplace(working.converted(pf24bit));
    const Bitmap& picture = converted ? *converted : working;
    auto source = std::make_shared<const Colors>(colorsOf(picture));
    putSource(index, source);
    publishing.source = true;
    const std::shared_ptr<const Colors> before = takeSource(index - 1);
    const bool over = follows(index) && before;

    // at most 255, so that there is an entry left for transparency
    const int colors = std::min(255, 1 << std::clamp(int(g.ReductionBit), 1, 8));
    const PalettePixels pixels = palettePixels(*source, over ? before.get() : nullptr, changed_);
    const ColorHistogram histogram(picture, pixels.weights);
    const double scale = std::clamp(double(histogram.bins().size()) / kBusyBins, kLeastScale, 1.0);
    const bool busy = scale >= 1.0;
    const double paletteError = paletteError_ * scale;
    KeepRule keep = keep_;
    keep.slack *= scale;
    keep.tolerance *= scale;
    keep.run *= scale;
    Palette start;
    if (paletteError <= 0 || !over) {
        start = quantizedPalette(pixels.sample, colors, 8);
    } else {
        // the fewest colours (a power of two, one left for transparency)
        // whose error is within the strength's, looked for from 16 on
        double total = 0;
        for (const ColorHistogram::Bin& b : histogram.bins()) total += b.weight;
        const double allowed = paletteError * paletteError * total;
        auto fits = [&](int bits, Palette& out) {
            const int n = std::min(colors, (1 << bits) - 1);
            out = quantizedPalette(pixels.sample, n, 8);
            return n >= colors || histogram.error(out) <= allowed;
        };
        int bits = 4;
        if (fits(bits, start)) {
            Palette fewer;
            while (bits > 2 && fits(bits - 1, fewer)) {
                --bits;
                start = std::move(fewer);
            }
        } else {
            while (!fits(++bits, start)) {
            }
        }
    }
    const Palette palette = refinePalette(histogram, start, kKMeansPasses);
    // a busy picture's many colours are looked up by their cells; a simple
    // one's few exactly
    PaletteMapper mapper(picture, palette, TDitherMode(g.ColorDither) != dmNearest, pixels.weights, busy);

    const std::shared_ptr<const ShownFrame> previous = takeShown(index - 1);
    MappedFrame mapped = mapper.map(over ? previous.get() : nullptr, keep);
    putShown(index, std::make_shared<ShownFrame>(std::move(mapped.shown)));
    publishing.shown = true;
    return std::move(mapped.bitmap);
}

}  // namespace pelko
