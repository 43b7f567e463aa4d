#pragma once
// Frame composition: where a new frame sits on the canvas, how its frame image
// is made from the source picture, and how frames are shown on the canvas.

#include "engine/base/geometry.h"
#include "engine/image/picture.h"
#include "engine/project/frame_record.h"
#include "engine/project/project_settings.h"

namespace pelko {

// Placement of a new frame from its source's rectangle: the whole canvas when
// the project stretches, otherwise each value checked against the canvas on
// its own (the frame may still reach past the right or bottom edge).
// Sets Left, Top, Width, Height and Stretch of frame.
void placeNewFrame(FrameRecord& frame, const Rect& source, const ProjectSettings& settings);

// The frame image of a source picture: fitted into the canvas when stretch is
// true, otherwise the picture cut to (or padded white to) width x height.
// Negative sizes count as 0; sizes beyond the picture limits throw
// std::length_error.
Picture composeFrameImage(const Picture& source, int width, int height, bool stretch, int canvasWidth,
                          int canvasHeight);

// The size of the frame image: the canvas for a stretched frame, the frame's
// own Width x Height otherwise (negative sides count as 0).
struct FrameSize {
    int width = 0;
    int height = 0;
};
FrameSize frameImageSize(const FrameRecord& frame, const ProjectSettings& settings);

// The thumbnail of a source picture: fitted into 168 x 108.
Picture makeThumbnail(const Picture& source);

// The preview's picture: the frame's Width x Height with its frame image
// copied at (0, 0), clipped; the frame image alone when that size is beyond
// the picture limits.
Picture previewPicture(const FrameRecord& frame, const Picture& image);

// Draws the frame's image onto canvas at (Left, Top), cut at the canvas edges.
void drawFrameOnCanvas(Picture& canvas, const FrameRecord& frame, const Picture& image);

}  // namespace pelko
