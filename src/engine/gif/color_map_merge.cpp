#include "engine/gif/color_map_merge.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/optimize_common.h"

namespace pelko {

using optimize_detail::partitionSort;
using optimize_detail::pixelsUsable;
using optimize_detail::transparentIndex;

struct TColorMapMerger::Entry {
    std::int64_t count = 0;
    int mapIndex = 0;
    int newIndex = 256;
    Color color = 0;
    Entry* ref = nullptr;  // a merged duplicate's representative
};

struct TColorMapMerger::Histogram {
    std::vector<Entry> entries;
    std::vector<Entry*> used;
    std::vector<TGIFSubImage*> frames;  // those whose pixels were counted
};

TColorMapMerger::TColorMapMerger(TGIFImage& image) : image_(image) {}
TColorMapMerger::~TColorMapMerger() = default;

std::unique_ptr<TColorMapMerger::Histogram> TColorMapMerger::makeHistogram(TGIFColorMap& map)
{
    auto h = std::make_unique<Histogram>();
    h->entries.resize(std::size_t(map.GetCount()));
    for (int i = 0; i < map.GetCount(); ++i) {
        const TGIFColor& c = map.Entry(i);
        h->entries[std::size_t(i)].mapIndex = i;
        h->entries[std::size_t(i)].color = rgb(c.Red, c.Green, c.Blue);
    }
    return h;
}

bool TColorMapMerger::countInto(Histogram& h, TGIFSubImage& frame)
{
    const int n = int(h.entries.size());
    const int t = transparentIndex(frame);
    bool usesTransparency = false;
    bool warned = false;
    if (pixelsUsable(frame)) {
        h.frames.push_back(&frame);
        for (std::uint8_t& p : frame.Data()) {
            if (t >= 0 && p == t) {
                usesTransparency = true;
                continue;
            }
            if (p >= n) {
                p = 0;
                // Once per frame: a damaged frame would otherwise flood the
                // observer with one line per pixel.
                if (!warned)
                    frame.Warning(gsWarning, gifmsg::kColorNotInTable);
                warned = true;
            }
            Entry& e = h.entries[p];
            if (e.count >= INT32_MAX)
                break;
            ++e.count;
        }
    }
    if (t >= 0 && !usesTransparency) {
        TGIFGraphicControlExtension* g = frame.GraphicControlExtension();
        g->storeTransparentColorIndex(0);
        g->SetTransparent(false);
    }
    transparencyUsed_ |= usesTransparency;
    return warned;
}

bool TColorMapMerger::count(TGIFSubImage& frame)
{
    if (frame.GetEmpty())
        return false;
    if (frame.ColorMap().GetCount() > 0) {
        local_.push_back(makeHistogram(frame.ColorMap()));
        return countInto(*local_.back(), frame);
    }
    if (image_.GetColorMap().GetCount() > 0) {
        if (!global_)
            global_ = makeHistogram(image_.GetColorMap());
        return countInto(*global_, frame);
    }
    return false;
}

void TColorMapMerger::finish()
{
    // The global map's histogram first, then one for each frame with its own
    // colours, in list order.
    std::vector<Histogram*> histograms;
    if (global_)
        histograms.push_back(global_.get());
    for (auto& h : local_) histograms.push_back(h.get());

    // Each histogram trimmed to its colours in use, most used first, and one
    // list of all of them.
    std::vector<Entry*> combined;
    auto byCount = [](const Entry* e) { return e->count; };
    for (Histogram* h : histograms) {
        for (Entry& e : h->entries) h->used.push_back(&e);
        partitionSort(h->used, byCount);
        auto cut = std::find_if(h->used.begin(), h->used.end(), [](const Entry* e) { return e->count == 0; });
        for (auto it = cut; it != h->used.end(); ++it) (*it)->count = -1;
        h->used.erase(cut, h->used.end());
        combined.insert(combined.end(), h->used.begin(), h->used.end());
    }

    // Equal colours become one entry with the counts added.
    partitionSort(combined, [](const Entry* e) { return e->color; });
    if (!combined.empty()) {
        Entry* rep = combined.front();
        for (std::size_t i = 1; i < combined.size(); ++i) {
            Entry* e = combined[i];
            if (e->color == rep->color) {
                rep->count += e->count;
                e->count = 0;
                e->ref = rep;
            } else {
                rep = e;
            }
        }
    }

    // The final table: the most used colours.
    partitionSort(combined, byCount);
    std::vector<Color> table;
    const std::size_t limit = transparencyUsed_ ? 255 : 256;
    std::size_t finalCount = 0;
    while (finalCount < combined.size() && finalCount < limit && combined[finalCount]->count != 0) {
        combined[finalCount]->newIndex = int(finalCount);
        table.push_back(combined[finalCount]->color);
        ++finalCount;
    }

    // Colours that did not fit take the kept colour of nearest component
    // sum; merged duplicates take their representative's index.
    auto sum = [](Color c) { return int(redOf(c)) + greenOf(c) + blueOf(c); };
    for (std::size_t i = finalCount; i < combined.size(); ++i) {
        Entry* e = combined[i];
        if (e->count == 0)
            continue;
        int best = 0, bestDistance = 765;
        const int s = sum(e->color);
        for (std::size_t k = 0; k < finalCount; ++k) {
            int d = std::abs(sum(table[k]) - s);
            if (d < bestDistance) {
                bestDistance = d;
                best = int(k);
            }
        }
        e->newIndex = best;
    }
    for (Entry* e : combined)
        if (e->count == 0 && e->ref)
            e->newIndex = e->ref->newIndex;

    // A black entry for transparency.
    if (transparencyUsed_) {
        transparentIndex_ = int(table.size());
        table.push_back(rgb(0, 0, 0));
    }

    // The shared table in place of every frame's own.
    for (const auto& f : image_.Images()) f->ColorMap().Clear();
    image_.GetColorMap().ImportPalette(table);
    image_.GetColorMap().SetOptimized(true);

    // How each counted frame's indices read now; its transparency points at
    // the shared entry.
    for (Histogram* h : histograms) {
        Remap remap;
        for (const Entry* e : h->used) remap.map[std::size_t(e->mapIndex)] = std::uint8_t(e->newIndex);
        for (TGIFSubImage* f : h->frames) {
            remap.transparent = transparencyUsed_ ? transparentIndex(*f) : -1;
            if (remap.transparent >= 0)
                f->GraphicControlExtension()->storeTransparentColorIndex(transparentIndex_);
            remaps_[f] = remap;
        }
    }
    global_.reset();
    local_.clear();
}

void TColorMapMerger::remapPixels(const TGIFSubImage& frame, std::vector<std::uint8_t>& pixels) const
{
    auto it = remaps_.find(&frame);
    if (it == remaps_.end())
        return;
    const Remap& r = it->second;
    const int t = r.transparent;
    for (std::uint8_t& p : pixels) p = (t >= 0 && p == t) ? std::uint8_t(transparentIndex_) : r.map[p];
}

void TColorMapMerger::run(TGIFImage& image)
{
    TColorMapMerger merger(image);
    for (const auto& f : image.Images()) merger.count(*f);
    merger.finish();
    for (const auto& f : image.Images()) merger.remapPixels(*f, f->Data());
    for (const auto& f : image.Images()) f->FreeCaches();
    image.FreeCaches();
}

}  // namespace pelko
