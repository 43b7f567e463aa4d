#pragma once
// Small pieces the optimizers share: which pixels a frame has, its
// transparent index, and the partition-exchange sort whose order of equal
// keys the colour tables depend on.

#include <cstddef>
#include <utility>
#include <vector>

#include "engine/gif/gif_extensions.h"
#include "engine/gif/gif_sub_image.h"

namespace pelko::optimize_detail {

inline bool pixelsUsable(const TGIFSubImage& f)
{
    return !f.GetEmpty() && f.Data().size() >= std::size_t(f.GetWidth()) * std::size_t(f.GetHeight());
}

// The transparent colour index of a transparent frame, else -1.
inline int transparentIndex(const TGIFSubImage& f)
{
    const TGIFGraphicControlExtension* g = f.GraphicControlExtension();
    return f.GetTransparent() && g ? g->GetTransparentColorIndex() : -1;
}

// The partition-exchange sort of the colour maps, on any list: key(a) is the
// sort key, larger keys first. Equal keys end in the order this procedure
// gives. The smaller side is sorted by recursion and the larger by the loop;
// the sides are disjoint, so the order of the two does not change the result.
template <class T, class Key>
void partitionSort(std::vector<T>& a, int lo, int hi, const Key& key)
{
    while (lo < hi) {
        int i = lo, j = hi;
        const auto pivot = key(a[std::size_t((lo + hi) / 2)]);
        do {
            while (key(a[std::size_t(i)]) > pivot) ++i;
            while (key(a[std::size_t(j)]) < pivot) --j;
            if (i <= j) {
                std::swap(a[std::size_t(i)], a[std::size_t(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - lo < hi - i) {
            if (lo < j)
                partitionSort(a, lo, j, key);
            lo = i;
        } else {
            if (i < hi)
                partitionSort(a, i, hi, key);
            hi = j;
        }
    }
}

template <class T, class Key>
void partitionSort(std::vector<T>& a, const Key& key)
{
    if (a.size() > 1)
        partitionSort(a, 0, int(a.size()) - 1, key);
}

}  // namespace pelko::optimize_detail
