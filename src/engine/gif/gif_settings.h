#pragma once
// Process-wide settings of the GIF codec. Each new TGIFImage copies the
// GIFImageDefault... values when it is made. Code that builds or reads an
// image gives that image its own settings through its setters and leaves
// these values alone: several images may be built at once on different
// threads, and each must see only its own settings.

#include <cstdint>

#include "engine/gif/gif_types.h"

namespace pelko {

extern TGIFDrawOptions GIFImageDefaultDrawOptions;
extern TColorReduction GIFImageDefaultColorReduction;
extern int GIFImageDefaultColorReductionBits;
extern TDitherMode GIFImageDefaultDitherMode;
extern TGIFCompression GIFImageDefaultCompression;
extern TGIFThreadPriority GIFImageDefaultThreadPriority;
extern int GIFImageDefaultAnimationSpeed;

// Animation timing of the painter, in hundredths of a second.
extern int GIFDefaultDelay;
extern int GIFMinimumDelay;
extern int GIFMaximumDelay;
extern int GIFDelayExp;

// True on displays of 8 bits per pixel or fewer.
extern bool DoAutoDither;

// Limits on what reading a file may allocate: pixels of one frame, and
// pixel data (plus a fixed cost per frame) of the whole image. Larger files
// are refused with GIFException before anything is allocated for them. A
// frame is also refused when it is beyond the pixel budget of
// engine/image/pixel_budget.h.
extern std::int64_t GIFImageMaxFramePixels;
extern std::int64_t GIFImageMaxTotalPixels;
// Pixels of a whole image that the image data may leave unreached (they keep
// the fill value): a file whose frames lack more of their data than this is
// refused with "Premature end of data" before the pixels are made, so a few
// bytes cannot claim large frames.
extern std::int64_t GIFImageMaxMissingPixels;

// Version text written after "GIF" for gv87a and gv89a.
const char* GIFVersionText(TGIFVersion version);

}  // namespace pelko
