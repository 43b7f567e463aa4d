#include "engine/gif/gif_color_map.h"

#include <algorithm>
#include <utility>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"

namespace pelko {

namespace {

TGIFColor entryOf(Color c)
{
    return {redOf(c), greenOf(c), blueOf(c)};
}
Color colorOf(const TGIFColor& e)
{
    return rgb(e.Red, e.Green, e.Blue);
}

// Partition-exchange sort by decreasing count. Equal counts end in the order
// this procedure leaves them in, and the new colour order inherits it.
void sortHistogram(std::vector<THistogramEntry>& a, int lo, int hi)
{
    do {
        int i = lo, j = hi;
        const int pivot = a[std::size_t(lo + hi) / 2].Count;
        do {
            while (a[std::size_t(i)].Count > pivot) ++i;
            while (a[std::size_t(j)].Count < pivot) --j;
            if (i <= j) {
                std::swap(a[std::size_t(i)], a[std::size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (lo < j)
            sortHistogram(a, lo, j);
        lo = i;
    } while (lo < hi);
}

void countPixels(const TGIFSubImage& frame, std::vector<THistogramEntry>& table)
{
    if (frame.GetEmpty())
        return;
    const std::size_t n = table.size();
    for (std::uint8_t p : frame.Data())
        if (p < n)
            ++table[p].Count;
}

void remapPixels(TGIFSubImage& frame, const std::vector<int>& map)
{
    if (!frame.GetEmpty()) {
        const std::size_t n = map.size();
        for (std::uint8_t& p : frame.Data())
            if (p < n)
                p = std::uint8_t(map[p]);
    }
    // The transparent colour moves with its entry.
    if (TGIFGraphicControlExtension* gce = frame.GraphicControlExtension())
        if (frame.GetTransparent() && std::size_t(gce->GetTransparentColorIndex()) < map.size())
            gce->storeTransparentColorIndex(map[std::size_t(gce->GetTransparentColorIndex())]);
}

}  // namespace

void TGIFColorMap::Clear()
{
    count_ = 0;
    capacity_ = 0;
    optimized_ = false;
    Changed();
}

void TGIFColorMap::Assign(const TGIFColorMap& source)
{
    if (&source == this)
        return;
    entries_ = source.entries_;
    count_ = source.count_;
    capacity_ = source.capacity_;
    optimized_ = source.optimized_;
    Changed();
}

void TGIFColorMap::SetCapacity(int n)
{
    if (n < capacity_)
        return;
    capacity_ = n <= 16 ? 16 : std::min(kMaxColors, (n + 31) / 32 * 32);
}

int TGIFColorMap::GetBitsPerPixel() const
{
    if (count_ == 0)
        return 0;
    int b = 1;
    while ((1 << b) < count_) ++b;
    return b;
}

int TGIFColorMap::Add(Color color)
{
    if (count_ >= kMaxColors)
        throw GIFException(gifmsg::kColorTableOverflow);
    SetCapacity(count_ + 1);
    entries_[std::size_t(count_)] = entryOf(color);
    optimized_ = false;
    Changed();
    return count_++;
}

int TGIFColorMap::IndexOf(Color color) const
{
    const TGIFColor e = entryOf(color);
    if (optimized_) {
        for (int i = 0; i < count_; ++i)
            if (entries_[std::size_t(i)] == e)
                return i;
    } else {
        for (int i = count_ - 1; i >= 0; --i)
            if (entries_[std::size_t(i)] == e)
                return i;
    }
    return -1;
}

int TGIFColorMap::AddUnique(Color color)
{
    int i = IndexOf(color);
    return i >= 0 ? i : Add(color);
}

void TGIFColorMap::Delete(int index)
{
    if (index < 0 || index >= count_)
        throw GIFException(gifmsg::kInvalidColorIndex);
    std::copy(entries_.begin() + index + 1, entries_.begin() + count_, entries_.begin() + index);
    --count_;
    optimized_ = false;
    Changed();
}

Color TGIFColorMap::GetColor(int index) const
{
    if (index < 0 || index >= count_) {
        Warning(gsWarning, gifmsg::kInvalidColorIndex);
        if (count_ == 0)
            throw GIFException(gifmsg::kColorTableEmpty);
        index = 0;
    }
    return colorOf(entries_[std::size_t(index)]);
}

void TGIFColorMap::SetColor(int index, Color color)
{
    if (index < 0 || index >= count_)
        throw GIFException(gifmsg::kInvalidColorIndex);
    entries_[std::size_t(index)] = entryOf(color);
    Changed();
}

void TGIFColorMap::ImportPalette(const std::vector<Color>& palette)
{
    const int n = int(std::min<std::size_t>(palette.size(), kMaxColors));
    for (int i = 0; i < n; ++i) entries_[std::size_t(i)] = entryOf(palette[std::size_t(i)]);
    count_ = n;
    SetCapacity(n);
    optimized_ = false;
    Changed();
}

void TGIFColorMap::ImportColorMap(const TGIFColor* entries, int n)
{
    n = std::clamp(n, 0, kMaxColors);
    std::copy(entries, entries + n, entries_.begin());
    count_ = n;
    SetCapacity(n);
    optimized_ = false;
    Changed();
}

void TGIFColorMap::ImportColorTable(const std::uint8_t* quads, int n)
{
    n = std::clamp(n, 0, kMaxColors);
    for (int i = 0; i < n; ++i) entries_[std::size_t(i)] = {quads[4 * i + 2], quads[4 * i + 1], quads[4 * i]};
    count_ = n;
    SetCapacity(n);
    optimized_ = false;
    Changed();
}

std::vector<Color> TGIFColorMap::ExportPalette() const
{
    std::vector<Color> palette(static_cast<std::size_t>(count_));
    for (int i = 0; i < count_; ++i) palette[std::size_t(i)] = colorOf(entries_[std::size_t(i)]);
    return palette;
}

void TGIFColorMap::SaveToStream(GifOutput& out) const
{
    if (count_ == 0)
        return;
    out.write(entries_.data(), std::size_t(count_) * 3);
    const int padded = 1 << GetBitsPerPixel();
    for (int i = count_; i < padded; ++i) {
        out.writeByte(0);
        out.writeByte(0);
        out.writeByte(0);
    }
}

void TGIFColorMap::LoadFromStream(GifInput& in, int n)
{
    n = std::clamp(n, 0, kMaxColors);
    std::uint8_t raw[kMaxColors * 3];
    in.readExact(raw, std::size_t(n) * 3);
    for (int i = 0; i < n; ++i) entries_[std::size_t(i)] = {raw[3 * i], raw[3 * i + 1], raw[3 * i + 2]};
    count_ = n;
    capacity_ = 0;
    SetCapacity(n);
    optimized_ = false;
    Changed();
}

void TGIFColorMap::initHistogram(std::vector<THistogramEntry>& table) const
{
    table.assign(std::size_t(count_), {});
    for (int i = 0; i < count_; ++i) table[std::size_t(i)] = {0, i};
}

bool TGIFColorMap::DoOptimize()
{
    if (count_ <= 1)
        return false;
    optimized_ = true;
    std::vector<THistogramEntry> table;
    BuildHistogram(table);
    if (int(table.size()) != count_)
        return true;
    sortHistogram(table, 0, count_ - 1);
    bool same = true;
    for (int i = 0; i < count_; ++i)
        if (table[std::size_t(i)].Index != i)
            same = false;
    if (same)
        return true;

    std::vector<int> map(static_cast<std::size_t>(count_));
    for (int i = 0; i < count_; ++i) map[std::size_t(table[std::size_t(i)].Index)] = i;
    MapImages(map);

    std::array<TGIFColor, kMaxColors> sorted{};
    int used = count_;
    for (int i = 0; i < count_; ++i) {
        sorted[std::size_t(i)] = entries_[std::size_t(table[std::size_t(i)].Index)];
        if (table[std::size_t(i)].Count == 0 && used == count_)
            used = i;
    }
    entries_ = sorted;
    count_ = used;
    Changed();
    return true;
}

// Global map -----------------------------------------------------------------

namespace {

template <class Fn>
void forFramesUsing(TGIFImage* image, const TGIFColorMap* map, Fn fn)
{
    if (!image)
        return;
    for (const auto& frame : image->Images())
        if (&frame->GetActiveColorMap() == map)
            fn(*frame);
}

}  // namespace

void TGIFGlobalColorMap::Warning(TGIFSeverity severity, const std::string& message) const
{
    gifImageWarning(header_->Image(), this, severity, message);
}

void TGIFGlobalColorMap::BuildHistogram(std::vector<THistogramEntry>& table) const
{
    initHistogram(table);
    forFramesUsing(header_->Image(), this, [&](TGIFSubImage& f) { countPixels(f, table); });
}

void TGIFGlobalColorMap::MapImages(const std::vector<int>& map)
{
    forFramesUsing(header_->Image(), this, [&](TGIFSubImage& f) { remapPixels(f, map); });
}

bool TGIFGlobalColorMap::Optimize()
{
    TGIFImage* image = header_->Image();
    if (!image || image->GetEmpty())
        return false;
    return DoOptimize();
}

void TGIFGlobalColorMap::Changed()
{
    if (TGIFImage* image = header_->Image())
        image->FreeCaches();
}

// Local map ------------------------------------------------------------------

void TGIFLocalColorMap::Warning(TGIFSeverity severity, const std::string& message) const
{
    gifImageWarning(frame_->Image(), this, severity, message);
}

void TGIFLocalColorMap::BuildHistogram(std::vector<THistogramEntry>& table) const
{
    initHistogram(table);
    countPixels(*frame_, table);
}

void TGIFLocalColorMap::MapImages(const std::vector<int>& map)
{
    remapPixels(*frame_, map);
}

bool TGIFLocalColorMap::Optimize()
{
    return DoOptimize();
}

void TGIFLocalColorMap::Changed()
{
    frame_->FreeCaches();
}

}  // namespace pelko
