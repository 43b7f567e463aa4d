#pragma once
// How the playback preview draws a frame: in AVI mode on a fresh white canvas
// of the project's size, as the AVI has it; in GIF mode over the picture
// shown before, the frame's transparent colour letting that picture show.

#include "engine/image/picture.h"
#include "engine/project/frame_record.h"
#include "engine/project/project_settings.h"

namespace pelko {

// A white canvas of the project's Width x Height; an empty picture when that
// size is no picture's (0 or beyond the limits).
Picture playbackCanvas(const ProjectSettings& settings);

// The AVI frame: a fresh canvas with the frame image at (Left, Top).
Picture aviPlaybackFrame(const ProjectSettings& settings, const FrameRecord& frame, const Picture& image);

// Draws the frame image onto picture at (Left, Top), clipped; with
// transparent set, the pixels of the transparent colour (0x00BBGGRR) are
// left out.
void drawPlaybackFrame(Picture& picture, const FrameRecord& frame, const Picture& image, bool transparent);

}  // namespace pelko
