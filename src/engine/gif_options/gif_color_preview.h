#pragma once
// The "Before" and "After" of the GIF colour options: the top-left part of a
// frame's picture, and that part made a GIF of one frame with the working
// values, as the animated GIF would make it, with the palette of the result.

#include <string>
#include <vector>

#include "engine/image/picture.h"
#include "engine/project/frame_record.h"

namespace pelko {

// The top-left width x height of picture (clipped to it).
Picture gifColorBefore(const Picture& picture, int width, int height);

struct GifColorPreview {
    // The image's bitmap; its transparent pixels show `background`.
    Picture after;
    // The image's global map, or, when that is empty, the frame's active map.
    std::vector<Color> palette;
    // Why there is no "After" (settings the codec refuses, such as no
    // reduction for a picture of more than 256 colours); empty otherwise.
    std::string error;
};

// A new image with the working reduction, dither mode, bits and
// compression is given the "Before" (transparent with the working colour
// when the transparent flag is set); with optimize its colour maps become
// one global map. Any thread: the codec defaults are not read.
GifColorPreview buildGifColorPreview(const Picture& before, const GifFrameSettings& working, bool optimize,
                                     Color background);

}  // namespace pelko
