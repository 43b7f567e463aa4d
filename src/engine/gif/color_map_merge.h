#pragma once
// One shared colour table for the frames of an animation, made in steps so
// that the frames' pixels need not all be held at once:
//   count(frame)  for every frame in list order, while it holds its pixels;
//   finish()      once: installs the table as the image's global map, clears
//                 every frame's own map and points transparent frames at the
//                 table's transparent entry;
//   remapPixels() for the pixels of every counted frame, once each, in any
//                 order and on any thread.
// run() does all three on an image that holds every frame's pixels.

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "engine/gif/gif_image.h"
#include "engine/gif/gif_sub_image.h"

namespace pelko {

class TColorMapMerger {
public:
    explicit TColorMapMerger(TGIFImage& image);
    ~TColorMapMerger();
    TColorMapMerger(const TColorMapMerger&) = delete;
    TColorMapMerger& operator=(const TColorMapMerger&) = delete;

    // Counts the colours frame uses. An index past its map becomes 0 (with a
    // warning), so the frame's pixels may change (true then); a transparent
    // frame none of whose pixels is transparent stops being transparent.
    bool count(TGIFSubImage& frame);
    void finish();
    // The counted frame's pixels as they read in the shared table.
    void remapPixels(const TGIFSubImage& frame, std::vector<std::uint8_t>& pixels) const;

    static void run(TGIFImage& image);

    struct Histogram;
    struct Entry;

private:
    struct Remap {
        std::array<std::uint8_t, 256> map{};
        int transparent = -1;  // the frame's transparent index before the merge
    };

    std::unique_ptr<Histogram> makeHistogram(TGIFColorMap& map);
    bool countInto(Histogram& h, TGIFSubImage& frame);

    TGIFImage& image_;
    std::unique_ptr<Histogram> global_;  // frames without a map of their own
    std::vector<std::unique_ptr<Histogram>> local_;
    bool transparencyUsed_ = false;
    int transparentIndex_ = -1;
    std::unordered_map<const TGIFSubImage*, Remap> remaps_;
};

}  // namespace pelko
