#pragma once
// A frame's GIF settings given to an image, and a GIF of one picture made
// with them: what the animated GIF does per frame, the GIF colour options'
// "After" and a frame saved as a GIF.

#include <memory>

#include "engine/gif/gif_image.h"
#include "engine/image/picture.h"
#include "engine/project/frame_record.h"

namespace pelko {

// Gives the image the frame's colour settings, with which the next frame
// added to it is converted. The codec's process-wide defaults stay as they
// are: the settings travel with the image.
void applyFrameSettings(TGIFImage& image, const GifFrameSettings& g);

// A new image holding picture converted with the settings (transparent with
// their colour when their transparent flag is set); with optimize its
// colour maps become one global map. Any thread.
std::unique_ptr<TGIFImage> stillGifImage(const Picture& picture, const GifFrameSettings& settings,
                                         bool optimize);

}  // namespace pelko
