#pragma once
// Rendering a frame from its source picture: compose, mirror, grey, negative.
// Reading the source a frame names is SourceLoader's (source_loader.h).

#include "engine/project/composition.h"

namespace pelko {

// The frame image of source: composed with the frame's placement, then
// mirrored as Flip says, turned grey when Gray is set and negative when
// Inverse is set. Throws std::length_error when the frame needs a picture
// beyond the picture limits.
Picture renderedImage(const FrameRecord& frame, const Picture& source, const ProjectSettings& settings);

// Replaces the frame image by renderedImage; the thumbnail is left alone.
void renderFrame(FrameRecord& frame, const Picture& source, const ProjectSettings& settings);

}  // namespace pelko
