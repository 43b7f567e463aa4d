#include "engine/output/animation_canvas.h"

#include <algorithm>
#include <stdexcept>

#include "engine/base/ordered_pipeline.h"
#include "engine/base/parallel.h"
#include "engine/project/composition.h"
#include "engine/project/frame_cache.h"

namespace pelko {
namespace {

// The GIF disposal methods (engine/gif's TDisposalMethod).
constexpr int kDisposeBackground = 2;
constexpr int kDisposePrevious = 3;

Rect clipped(int left, int top, int width, int height, int canvasWidth, int canvasHeight)
{
    const int x0 = std::clamp(left, 0, canvasWidth), y0 = std::clamp(top, 0, canvasHeight);
    const auto x1 = std::clamp<std::int64_t>(std::int64_t(left) + width, 0, canvasWidth);
    const auto y1 = std::clamp<std::int64_t>(std::int64_t(top) + height, 0, canvasHeight);
    return {x0, y0, int(std::max<std::int64_t>(0, x1 - x0)), int(std::max<std::int64_t>(0, y1 - y0))};
}

}  // namespace

AnimationCanvas::AnimationCanvas(int width, int height)
    : width_(std::max(1, width)),
      height_(std::max(1, height)),
      rgba_(std::size_t(width_) * std::size_t(height_) * 4, 0),
      transparentPixels_(std::int64_t(width_) * height_)
{
}

void AnimationCanvas::clear(const Rect& r)
{
    for (int y = r.top; y < r.top + r.height; ++y) {
        std::uint8_t* p = rgba_.data() + (std::size_t(y) * std::size_t(width_) + std::size_t(r.left)) * 4;
        std::fill(p, p + std::size_t(r.width) * 4, 0);
    }
}

void AnimationCanvas::countTransparent()
{
    std::int64_t n = 0;
    for (std::size_t i = 3; i < rgba_.size(); i += 4) n += rgba_[i] == 0;
    transparentPixels_ = n;
}

void AnimationCanvas::draw(const Picture& picture, int left, int top, bool transparent,
                           Color transparentColor, int disposal)
{
    bool mayHaveCleared = false;
    if (lastDisposal_ == kDisposeBackground) {
        clear(last_);
        mayHaveCleared = last_.width > 0 && last_.height > 0;
    } else if (lastDisposal_ == kDisposePrevious && !saved_.empty()) {
        rgba_.swap(saved_);
        mayHaveCleared = true;
    }
    if (disposal == kDisposePrevious)
        saved_ = rgba_;
    else
        saved_.clear();

    const Rect r = clipped(left, top, picture.width(), picture.height(), width_, height_);
    const std::uint8_t tr = redOf(transparentColor), tg = greenOf(transparentColor),
                       tb = blueOf(transparentColor);
    bool leftOut = false;
    for (int y = r.top; y < r.top + r.height; ++y) {
        const std::uint8_t* s = picture.row(y - top) + std::size_t(r.left - left) * 3;
        std::uint8_t* d = rgba_.data() + (std::size_t(y) * std::size_t(width_) + std::size_t(r.left)) * 4;
        for (int x = 0; x < r.width; ++x, s += 3, d += 4) {
            if (transparent && s[0] == tb && s[1] == tg && s[2] == tr) {
                leftOut = true;
                continue;
            }
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            d[3] = 255;
        }
    }
    last_ = r;
    lastDisposal_ = disposal;
    // Counting costs a pass over the canvas: only when transparent pixels
    // may be shown at all.
    if (transparentPixels_ > 0 || mayHaveCleared || leftOut)
        countTransparent();
}

Picture placedFramePicture(const Project& project, int index)
{
    const FramePicture image = frameImage(project, index, false);
    if (!image.ok())
        throw std::runtime_error(frameFailureLine(project, index, image.status));
    return previewPicture(project.frames[std::size_t(index)], *image.picture);
}

bool composeFrames(const Project& project, int jobs, ProgressSink& progress,
                   const std::function<bool(int, const AnimationCanvas&)>& shown)
{
    const ProjectSettings& s = project.settings;
    AnimationCanvas canvas(s.Width, s.Height);
    const int n = project.frames.count();
    auto produce = [&](int i) { return placedFramePicture(project, i); };
    auto consume = [&](int i, Picture picture) {
        const FrameRecord& f = project.frames[std::size_t(i)];
        canvas.draw(picture, f.Left, f.Top, f.Gif.GIFTransparent, f.Gif.TransparentColor,
                    f.Gif.DisposalMethod & 7);
        if (!shown(i, canvas))
            return false;
        progress.frames(i + 1, n);
        return !progress.cancelled();
    };
    return runInOrder<Picture>(n, std::min(workerCount(jobs), std::max(1, n)), produce, consume);
}

}  // namespace pelko
