#pragma once
// How close a written animation is to its frames: the mean over the frames
// of the PSNR of the picture the file shows when the frame starts against
// the picture the frame list shows (both laid on white, RGB). A frame
// without error counts as 100 dB.

#include <cstdint>
#include <functional>
#include <vector>

#include "engine/project/project.h"

namespace pelko {

// One picture of a decoded file: RGBA canvas pixels (alpha 0 or 255 as the
// file gives it) shown from startMs on. next returns false after the last.
using NextShownPicture = std::function<bool(int& startMs, std::vector<std::uint8_t>& rgba)>;

// The mean PSNR of the pictures next gives against the project's frames,
// frame i starting at the sum of frameMs(0 .. i-1). Throws what rendering a
// frame throws.
double meanPsnrAgainstFrames(const Project& project, const std::function<int(int)>& frameMs,
                             const NextShownPicture& next, int jobs = 0);

// The same for the bytes of an animated GIF (timed by its delays) and of an
// animated WebP (timed in milliseconds). Throws on bytes that do not decode.
double meanGifPsnr(const Project& project, const std::vector<std::uint8_t>& gif, int jobs = 0);
double meanWebpPsnr(const Project& project, const std::vector<std::uint8_t>& webp, int jobs = 0);

}  // namespace pelko
