#include "cli/convert_gif.h"

#include <cstdio>
#include <exception>

#include "cli/gif_names.h"
#include "engine/gif/bitmap_frame.h"
#include "engine/gif/gif_image.h"
#include "engine/gif/optimize.h"
#include "engine/image/ppm.h"

namespace pelko::cli {

int convertToGif(const Picture& picture, const std::string& outPath, Args& options)
{
    // The defaults of a new frame: quantized to 256 colours, no dithering.
    TColorReduction reduction = rmQuantize;
    TDitherMode dither = dmNearest;
    int bits = 8;
    std::string text;
    if (takeOption(options, "--reduction", text) && !parseReduction(text, reduction)) {
        listReductions();
        return usage("convert");
    }
    if (takeOption(options, "--dither", text) && !parseDither(text, dither)) {
        listDithers();
        return usage("convert");
    }
    if (takeOption(options, "--colors", text)) {
        // A power of two from 8 to 256: the quantizer's 3 to 8 bits.
        bits = colorsToBits(text);
        if (bits == 0) {
            std::fprintf(stderr, "pelko-cli: --colors is 8, 16, 32, 64, 128 or 256\n");
            return usage("convert");
        }
    }
    if (!options.empty())
        return usage("convert");

    try {
        TGIFImage image;
        image.SetColorReduction(reduction);
        image.SetDitherMode(dither);
        image.SetReductionBits(bits);
        AddBitmap(image, Bitmap::fromPicture(picture));
        OptimizeColorMap(image);
        writeFile(outPath, image.SaveToBytes());
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    return kExitOk;
}

}  // namespace pelko::cli
