#pragma once
// The mean PSNR of a written MP4 or WebM file against the frames it was made
// from: its video decoded frame by frame and compared in RGB with the
// composed frames (cut to their size where the video is padded).
//
// Only for code that has loaded the video libraries (videoLibrary()).

#include <functional>
#include <string>

#include "engine/image/picture.h"

namespace pelko {

// The frame index as it was encoded; false stops the comparison.
using ComposedFrame = std::function<bool(int index, Picture& picture)>;

// The mean over frames of each frame's PSNR in dB (100 for a frame without
// difference). -1 when the file cannot be decoded, with error saying why.
double meanVideoPsnr(const std::string& file, int frameCount, const ComposedFrame& frameAt,
                     std::string& error);

}  // namespace pelko
