#include "engine/gif/gif_settings.h"

namespace pelko {

TGIFDrawOptions GIFImageDefaultDrawOptions{goAsync, goTransparent, goAnimate, goLoop, goDither, goAutoDither};
TColorReduction GIFImageDefaultColorReduction = rmNetscape;
int GIFImageDefaultColorReductionBits = 8;
TDitherMode GIFImageDefaultDitherMode = dmNearest;
TGIFCompression GIFImageDefaultCompression = gcLZW;
TGIFThreadPriority GIFImageDefaultThreadPriority = tpNormal;
int GIFImageDefaultAnimationSpeed = 100;

int GIFDefaultDelay = 10;
int GIFMinimumDelay = 3;
int GIFMaximumDelay = 1000;
int GIFDelayExp = 12;

// A desktop here always has more than 8 bits per pixel.
bool DoAutoDither = false;

std::int64_t GIFImageMaxFramePixels = std::int64_t(16384) * 16384;
std::int64_t GIFImageMaxTotalPixels = std::int64_t(1) << 30;
std::int64_t GIFImageMaxMissingPixels = std::int64_t(1) << 24;

const char* GIFVersionText(TGIFVersion version)
{
    switch (version) {
        case gv87a:
            return "87a";
        case gv89a:
            return "89a";
        default:
            return "";
    }
}

}  // namespace pelko
