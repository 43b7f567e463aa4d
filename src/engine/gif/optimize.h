#pragma once
// The animation optimizer: one shared colour table for all frames
// (OptimizeColorMap), and Optimize, which sorts and trims colour tables,
// turns pixels that repeat the previous frame into transparent ones, cuts
// frames down to their visible part and drops blocks without effect.
//
// Both stop the image's animation and hold its painter lock while they run,
// so no painter reads frames that are being rewritten.

#include <cstdint>
#include <initializer_list>
#include <mutex>

#include "engine/gif/color_modes.h"
#include "engine/gif/gif_image.h"
#include "engine/gif/gif_sub_image.h"
#include "engine/gif/gif_types.h"

namespace pelko {

// A set of TGIFOptimizeOption.
class TGIFOptimizeOptions {
public:
    constexpr TGIFOptimizeOptions() = default;
    constexpr TGIFOptimizeOptions(std::initializer_list<TGIFOptimizeOption> options)
    {
        for (TGIFOptimizeOption o : options) bits_ |= 1u << o;
    }
    constexpr bool Contains(TGIFOptimizeOption o) const { return (bits_ >> o) & 1u; }
    constexpr void Include(TGIFOptimizeOption o) { bits_ |= 1u << o; }
    constexpr void Exclude(TGIFOptimizeOption o) { bits_ &= ~(1u << o); }

private:
    std::uint32_t bits_ = 0;
};

// The lock of an image's painter list. Painters take it while they read
// frames; the optimizers hold it while they rewrite them.
std::recursive_mutex& GIFImagePainterLock(const TGIFImage& image);

// Replaces every frame's local colour map by one shared global map of the
// colours the frames use (the most used first; 255 and a black transparent
// entry when any frame uses transparency).
void OptimizeColorMap(TGIFImage& image);

// Runs the passes of options in their fixed order: colour maps, cleanup of
// transparency and disposals, merge, crop, cleanup of blocks and frames.
// Raises "Invalid reduction method" for ooReduceColors with rmPalette
// without ooCleanup.
void Optimize(TGIFImage& image, TGIFOptimizeOptions options, TColorReduction reduction,
              TDitherMode ditherMode, int bits);

// Cuts a transparent frame down to the rectangle of its non-transparent
// pixels; a frame without any is cleared.
void Crop(TGIFSubImage& frame);

// Makes transparent the pixels of frame that show the same colour as
// previous at the same screen position.
void Merge(TGIFSubImage& frame, TGIFSubImage* previous);

// Deletes frame index of the list (a frame the crop leaves with nothing)
// and adds its delay (as it was before the crop cleared the frame) to the
// frame before it, up to kGifMaxDelay, so the animation keeps its length.
void DropFrameKeepingTime(TGIFImageList& frames, int index, int delay);

// The delay of the frame's graphic control extension; 0 without one.
int DelayOf(const TGIFSubImage& frame);

}  // namespace pelko
