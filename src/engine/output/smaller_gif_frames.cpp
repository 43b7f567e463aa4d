#include "engine/output/smaller_gif_frames.h"

#include <optional>

#include "engine/gif/color_modes.h"
#include "engine/gif/color_reduction.h"
#include "engine/gif/refine_palette.h"

namespace pelko {

namespace {
constexpr int kKMeansPasses = 4;
}

std::shared_ptr<const ShownFrame> SmallerGifFrames::waitFor(int index)
{
    if (index < 0)
        return nullptr;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return done_.count(index) > 0; });
    auto shown = done_[index];
    done_.erase(index);  // each frame is taken by the one after it only
    return shown;
}

void SmallerGifFrames::publish(int index, std::shared_ptr<const ShownFrame> shown)
{
    {
        std::lock_guard lock(mutex_);
        done_[index] = std::move(shown);
    }
    changed_.notify_all();
}

void SmallerGifFrames::skip(int index)
{
    {
        std::lock_guard lock(mutex_);
        if (done_.count(index) > 0)
            return;
    }
    publish(index, nullptr);
}

Bitmap SmallerGifFrames::frameBitmap(int index, const Bitmap& working)
{
    const GifFrameSettings& g = project_.frames[std::size_t(index)].Gif;
    const bool applies =
        TColorReduction(g.ColorReduction) == rmQuantize && !working.transparent() && !working.empty();
    if (!applies) {
        waitFor(index - 1);
        publish(index, nullptr);
        return working;
    }
    Palette palette;
    try {
        // at most 255, so that the optimizer has an entry left for transparency
        const int colors = std::min(255, 1 << std::clamp(int(g.ReductionBit), 1, 8));
        palette = quantizedPalette(working, colors, 8);
        palette = refinePalette(ColorHistogram(working), palette, kKMeansPasses);
    } catch (...) {
        waitFor(index - 1);
        publish(index, nullptr);
        throw;
    }
    std::optional<PaletteMapper> mapper;
    try {
        mapper.emplace(working, palette, TDitherMode(g.ColorDither) != dmNearest);
    } catch (...) {
        waitFor(index - 1);
        publish(index, nullptr);
        throw;
    }
    const std::shared_ptr<const ShownFrame> previous = waitFor(index - 1);
    MappedFrame mapped;
    try {
        mapped = mapper->map(previous.get());
    } catch (...) {
        publish(index, nullptr);
        throw;
    }
    publish(index, std::make_shared<ShownFrame>(std::move(mapped.shown)));
    return std::move(mapped.bitmap);
}

}  // namespace pelko
