#include "engine/gif/optimize.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "engine/gif/color_map_merge.h"
#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/gif_painter_list.h"
#include "engine/gif/optimize_common.h"

namespace pelko {

namespace {

constexpr const char* kOptimizing = "Optimizing...";
constexpr const char* kInvalidReductionMethod = "Invalid reduction method";

using optimize_detail::pixelsUsable;
using optimize_detail::transparentIndex;

bool usesIndex(const TGIFSubImage& f, int index)
{
    if (index < 0 || !pixelsUsable(f))
        return false;
    const auto& d = f.Data();
    return std::find(d.begin(), d.end(), std::uint8_t(index)) != d.end();
}

TDisposalMethod disposalOf(const TGIFSubImage& f)
{
    const TGIFGraphicControlExtension* g = f.GraphicControlExtension();
    return g ? g->GetDisposal() : dmNone;
}

TGIFRect intersect(const TGIFRect& a, const TGIFRect& b)
{
    TGIFRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
               std::min(a.Bottom, b.Bottom)};
    return r;
}

bool isEmptyRect(const TGIFRect& r)
{
    return r.Right <= r.Left || r.Bottom <= r.Top;
}

void deleteExtension(TGIFSubImage& f, const TGIFExtension* e)
{
    int i = f.Extensions().IndexOf(e);
    if (i >= 0)
        f.Extensions().Delete(i);
}

// Stops the image's painters and holds the painter lock until the end. The
// painters are stopped and waited for before the lock is taken: a painter
// needs the lock to read frames, so waiting for one while holding it could
// never end. A painter made in between is stopped by the next round; none
// can be made while the lock is held.
class PainterGuard {
public:
    explicit PainterGuard(TGIFImage& image) : lock_(GIFImagePainterLock(image), std::defer_lock)
    {
        for (;;) {
            PaintStop(image);
            lock_.lock();
            if (!image.PainterList().hasPaintersElsewhere())
                return;
            lock_.unlock();
        }
    }

private:
    std::unique_lock<std::recursive_mutex> lock_;
};

// ---- Merge helpers ------------------------------------------------------

// A transparent index for a frame that has none, or -1 when none can be made.
int makeTargetIndex(TGIFSubImage& frame)
{
    if (frame.ColorMap().GetCount() > 0)
        return frame.ColorMap().Add(rgb(0, 0, 0));
    TGIFImage* image = frame.Image();
    if (!image)
        return -1;
    // Another frame's transparent entry of the global map serves too, when
    // this frame's pixels do not use that index as a colour.
    for (const auto& other : image->Images()) {
        if (other.get() == &frame || other->ColorMap().GetCount() > 0)
            continue;
        const int t = transparentIndex(*other);
        if (t >= 0 && t < image->GetColorMap().GetCount() && !usesIndex(frame, t))
            return t;
    }
    return image->GetColorMap().Add(rgb(0, 0, 0));
}

}  // namespace

std::recursive_mutex& GIFImagePainterLock(const TGIFImage& image)
{
    return image.PainterList().Lock();
}

void OptimizeColorMap(TGIFImage& image)
{
    PainterGuard guard(image);
    TColorMapMerger::run(image);
}

void Crop(TGIFSubImage& frame)
{
    if (!pixelsUsable(frame))
        return;
    const int t = transparentIndex(frame);
    if (t < 0)
        return;
    const int w = frame.GetWidth(), h = frame.GetHeight();
    const std::uint8_t* d = frame.Data().data();
    auto columnHas = [&](int x) {
        for (int y = 0; y < h; ++y)
            if (d[std::size_t(y) * std::size_t(w) + std::size_t(x)] != t)
                return true;
        return false;
    };
    int x0 = 0;
    while (x0 < w && !columnHas(x0)) ++x0;
    if (x0 == w) {
        frame.Clear();
        return;
    }
    int x1 = w - 1;
    while (x1 > x0 && !columnHas(x1)) --x1;
    auto rowHas = [&](int y) {
        const std::uint8_t* r = d + std::size_t(y) * std::size_t(w);
        for (int x = x0; x <= x1; ++x)
            if (r[x] != t)
                return true;
        return false;
    };
    int y0 = 0;
    while (!rowHas(y0)) ++y0;
    int y1 = h - 1;
    while (y1 > y0 && !rowHas(y1)) --y1;
    const int nw = x1 - x0 + 1, nh = y1 - y0 + 1;
    if (nw == w && nh == h)
        return;
    std::vector<std::uint8_t> data(std::size_t(nw) * std::size_t(nh));
    for (int y = 0; y < nh; ++y)
        std::copy_n(d + std::size_t(y0 + y) * std::size_t(w) + std::size_t(x0), nw,
                    data.begin() + std::ptrdiff_t(std::size_t(y) * std::size_t(nw)));
    frame.setDescriptor(frame.GetLeft() + x0, frame.GetTop() + y0, nw, nh, frame.GetPacked());
    frame.Data() = std::move(data);
    frame.FreeCaches();
}

void Merge(TGIFSubImage& frame, TGIFSubImage* previous)
{
    if (!previous || !pixelsUsable(frame) || !pixelsUsable(*previous))
        return;
    const TDisposalMethod pd = disposalOf(*previous);
    if (pd == dmBackground || pd == dmPrevious)
        return;
    const TGIFRect overlap = intersect(frame.GetBoundsRect(), previous->GetBoundsRect());
    if (isEmptyRect(overlap))
        return;

    const bool wasTransparent = transparentIndex(frame) >= 0;
    int target = transparentIndex(frame);
    if (!wasTransparent) {
        const int n = frame.GetActiveColorMap().GetCount();
        if (n < 1 || n > 255)
            return;
    }
    const int pt = transparentIndex(*previous);
    const int fw = frame.GetWidth(), pw = previous->GetWidth();
    std::uint8_t* fd = frame.Data().data();
    const std::uint8_t* pdta = previous->Data().data();

    // Making the target may add an entry to a map, never change which map
    // a frame uses.
    const TGIFColorMap& fmap = frame.GetActiveColorMap();
    const TGIFColorMap& pmap = previous->GetActiveColorMap();
    const bool sameMap = &fmap == &pmap;
    for (int sy = overlap.Top; sy < overlap.Bottom; ++sy) {
        std::uint8_t* frow = fd + std::size_t(sy - frame.GetTop()) * std::size_t(fw);
        const std::uint8_t* prow = pdta + std::size_t(sy - previous->GetTop()) * std::size_t(pw);
        for (int sx = overlap.Left; sx < overlap.Right; ++sx) {
            const int f = frow[sx - frame.GetLeft()], p = prow[sx - previous->GetLeft()];
            if (target >= 0 && f == target)
                continue;
            if (pt >= 0 && p == pt)
                continue;
            bool same = sameMap && f == p;
            if (!same && f < fmap.GetCount() && p < pmap.GetCount())
                same = fmap.Entry(f) == pmap.Entry(p);
            if (!same)
                continue;
            if (target < 0) {
                target = makeTargetIndex(frame);
                if (target < 0)
                    return;
            }
            frow[sx - frame.GetLeft()] = std::uint8_t(target);
        }
    }
    if (!wasTransparent && target >= 0) {
        TGIFGraphicControlExtension* g = frame.GraphicControlExtension();
        if (!g) {
            auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
            g = gce.get();
            frame.Extensions().Add(std::move(gce));
        }
        g->SetTransparent(true);
        g->storeTransparentColorIndex(target);
    }
    frame.FreeCaches();
}

int DelayOf(const TGIFSubImage& frame)
{
    const TGIFGraphicControlExtension* g = frame.GraphicControlExtension();
    return g ? g->GetDelay() : 0;
}

void DropFrameKeepingTime(TGIFImageList& frames, int index, int delay)
{
    if (index > 0) {
        if (TGIFGraphicControlExtension* g = frames.GetImage(index - 1)->GraphicControlExtension())
            g->SetDelay(std::min(kGifMaxDelay, g->GetDelay() + delay));
    }
    frames.Delete(index);
}

void Optimize(TGIFImage& image, TGIFOptimizeOptions options, TColorReduction reduction,
              TDitherMode ditherMode, int bits)
{
    if (image.GetEmpty())
        return;
    PainterGuard guard(image);
    TGIFImageList& frames = image.Images();
    const int total = std::max(1, 6 * frames.GetCount());
    int steps = 0;
    auto tick = [&] {
        ++steps;
        image.Progress(psRunning, std::min(100, steps * 100 / total), kOptimizing);
    };
    image.Progress(psStarting, 0, kOptimizing);
    try {
        // 1. Sort and trim the colour maps.
        if (options.Contains(ooColorMap)) {
            if (image.GetColorMap().GetCount() > 0)
                image.GetColorMap().Optimize();
            for (const auto& f : frames) {
                if (f->ColorMap().GetCount() > 0)
                    f->ColorMap().Optimize();
                tick();
            }
        }

        // 2. Transparency nobody uses, and disposals that change nothing.
        if (options.Contains(ooCleanup)) {
            for (const auto& f : frames) {
                const int t = transparentIndex(*f);
                if (t >= 0 && !usesIndex(*f, t))
                    f->GraphicControlExtension()->SetTransparent(false);
                tick();
            }
            for (int i = 0; i + 1 < frames.GetCount(); ++i) {
                TGIFSubImage& a = *frames.GetImage(i);
                TGIFSubImage& b = *frames.GetImage(i + 1);
                TGIFGraphicControlExtension* g = a.GraphicControlExtension();
                if (!g || (g->GetDisposal() != dmBackground && g->GetDisposal() != dmPrevious))
                    continue;
                if (b.GetTransparent())
                    continue;
                const TGIFRect overlap = intersect(a.GetBoundsRect(), b.GetBoundsRect());
                if (isEmptyRect(overlap))
                    continue;
                // The disposal of a is invisible only when the opaque frame
                // after it covers all of a.
                if (overlap == a.GetBoundsRect())
                    g->SetDisposal(dmNone);
            }
        }

        // 3. Pixels that repeat the previous picture become transparent.
        if (options.Contains(ooMerge)) {
            for (int i = frames.GetCount() - 1; i >= 1; --i) {
                int j = i - 1;
                while (j > 0 && disposalOf(*frames.GetImage(j)) == dmPrevious) --j;
                Merge(*frames.GetImage(i), frames.GetImage(j));
                tick();
            }
        }

        // 4. Cut transparent frames down; drop those left with nothing.
        if (options.Contains(ooCrop)) {
            for (int i = frames.GetCount() - 1; i >= 0; --i) {
                TGIFSubImage& f = *frames.GetImage(i);
                tick();
                if (f.GetEmpty() || !f.GetTransparent())
                    continue;
                // A frame disposed to the background clears its whole
                // rectangle afterwards: cutting it would clear less.
                if (disposalOf(f) == dmBackground)
                    continue;
                const int delay = DelayOf(f);
                Crop(f);
                if (f.GetEmpty())
                    DropFrameKeepingTime(frames, i, delay);
            }
        }

        // 5. Blocks and frames without effect.
        if (options.Contains(ooCleanup)) {
            for (int i = frames.GetCount() - 1; i >= 0; --i) {
                TGIFSubImage& f = *frames.GetImage(i);
                const bool single = frames.GetCount() == 1;
                TGIFExtensionList& ext = f.Extensions();
                for (int k = ext.GetCount() - 1; k >= 0; --k) {
                    TGIFExtension* e = ext.GetExtension(k);
                    if (dynamic_cast<TGIFCommentExtension*>(e) || dynamic_cast<TGIFTextExtension*>(e) ||
                        dynamic_cast<TGIFUnknownAppExtension*>(e)) {
                        ext.Delete(k);
                    } else if (dynamic_cast<TGIFAppExtNSLoop*>(e) && !(i == 0 && frames.GetCount() > 1)) {
                        ext.Delete(k);
                    }
                }
                if (TGIFGraphicControlExtension* g = f.GraphicControlExtension()) {
                    const bool noDelay = g->GetDelay() == 0 || single;
                    const bool plainDisposal =
                        g->GetDisposal() == dmNone || g->GetDisposal() == dmNoDisposal || single;
                    if (noDelay && !g->GetTransparent() && !g->GetUserInput() && plainDisposal)
                        deleteExtension(f, g);
                }
                if (f.GetEmpty() && ext.GetCount() == 0)
                    frames.Delete(i);
                tick();
            }
        }

        // 6.
        if (!options.Contains(ooCleanup) && options.Contains(ooReduceColors) && reduction == rmPalette)
            throw GIFException(kInvalidReductionMethod);
    } catch (...) {
        image.Progress(psEnding, 0, kOptimizing);
        throw;
    }
    (void)ditherMode;
    (void)bits;
    image.Progress(psEnding, 100, kOptimizing);
}

}  // namespace pelko
