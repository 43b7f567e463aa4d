#pragma once
// One frame of an animated GIF as the writer makes it: the frame picture
// reduced with the frame's GIF settings, placed, with its graphic control
// extension (and the loop extension on the first frame).

#include <memory>

#include "engine/colour/bitmap.h"
#include "engine/gif/gif_image.h"
#include "engine/gif_options/still_gif.h"
#include "engine/output/build_animated_gif.h"
#include "engine/output/smaller_gif_frames.h"
#include "engine/project/project.h"

namespace pelko {

// The frame picture at its descriptor size (the frame image cut or padded
// white to Width x Height, as the preview shows it), with its transparency.
// A frame that cannot be rendered (its source unreadable, or gone with
// nothing of it held) throws with the reason.
Bitmap workingBitmap(const Project& project, int index);

// The picture added for frame `index`: its working bitmap, or, with
// `smaller` (the smaller-file mode), that mapped to a refined palette.
Bitmap frameBitmap(const Project& project, int index, SmallerGifFrames* smaller);

// Places frame `index` of the project (just converted) and gives it its
// extensions.
void setUpFrame(TGIFSubImage& frame, const Project& project, int index, const AnimatedGifOptions& options);

// An image of its own holding frame `index` converted and set up; any
// thread. `smaller`: as for frameBitmap.
std::unique_ptr<TGIFImage> convertFrame(const Project& project, int index, const AnimatedGifOptions& options,
                                        SmallerGifFrames* smaller = nullptr);

}  // namespace pelko
