#pragma once
// Rendering a frame from its source picture: compose, mirror, grey, negative.
// The frame cache (frame_cache.h) renders and keeps frame images this way.

#include "engine/project/composition.h"

namespace pelko {

// The frame image of source: composed with the frame's placement, then
// mirrored as Flip says, turned grey when Gray is set and negative when
// Inverse is set. Throws std::length_error when the frame needs a picture
// beyond the picture limits.
Picture renderedImage(const FrameRecord& frame, const Picture& source, const ProjectSettings& settings);

}  // namespace pelko
