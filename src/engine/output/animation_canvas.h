#pragma once
// The pictures an animation shows, as a GIF viewer composes them: a canvas
// that starts transparent, each frame drawn at its place with its
// transparent colour left out, and the frame before disposed of first as its
// disposal method says. The outputs that store whole pictures (animated WebP
// and PNG) are made from these canvases.

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/base/geometry.h"
#include "engine/base/progress.h"
#include "engine/image/picture.h"
#include "engine/project/project.h"

namespace pelko {

class AnimationCanvas {
public:
    // A fully transparent width x height canvas (sides below 1 count as 1).
    AnimationCanvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    // Red, green, blue, alpha per pixel, rows top to bottom; alpha is 0 or 255.
    const std::uint8_t* rgba() const { return rgba_.data(); }
    const std::uint8_t* row(int y) const { return rgba_.data() + std::size_t(y) * std::size_t(width_) * 4; }
    // Whether some pixel shown now is transparent.
    bool transparent() const { return transparentPixels_ > 0; }

    // Disposes of the frame before as its method said, then draws picture
    // with its top-left corner at (left, top), cut at the canvas edges; with
    // `transparent`, pixels of transparentColor are left out. disposal
    // (TDisposalMethod: none, keep, background, previous) says what becomes
    // of this frame's rectangle before the next frame is drawn.
    void draw(const Picture& picture, int left, int top, bool transparent, Color transparentColor,
              int disposal);

private:
    void clear(const Rect& r);
    void countTransparent();

    int width_;
    int height_;
    std::vector<std::uint8_t> rgba_;
    std::vector<std::uint8_t> saved_;  // the canvas before a frame disposed of to the previous picture
    Rect last_;                        // the last frame's rectangle on the canvas
    int lastDisposal_ = 0;
    std::int64_t transparentPixels_;
};

// The picture of frame index as it is placed: its frame image cut or padded
// white to Width x Height. Throws std::runtime_error with the log's line when
// the frame cannot be rendered.
Picture placedFramePicture(const Project& project, int index);

// Draws the project's frames in list order onto a canvas of the project's
// size and hands each picture shown to shown(index, canvas). The frame
// images are rendered on `jobs` threads (0: one per core) ahead of the
// drawing, so only a few are held at any time. Stops when shown returns
// false or progress is cancelled, and returns false then. Throws what
// rendering a frame throws.
bool composeFrames(const Project& project, int jobs, ProgressSink& progress,
                   const std::function<bool(int, const AnimationCanvas&)>& shown);

}  // namespace pelko
