#include "cli/convert_gif.h"

#include <cstdio>
#include <exception>
#include <new>

#include "cli/gif_names.h"
#include "engine/base/output_file.h"
#include "engine/colour/bitmap_frame.h"
#include "engine/gif/gif_image.h"
#include "engine/gif/optimize.h"

namespace pelko::cli {

int takeGifConvertOptions(Args& options, GifConvertOptions& out)
{
    std::string text;
    if (takeOption(options, "--reduction", text) && !parseReduction(text, out.reduction)) {
        listReductions();
        return usage("convert");
    }
    if (takeOption(options, "--dither", text) && !parseDither(text, out.dither)) {
        listDithers();
        return usage("convert");
    }
    if (takeOption(options, "--colors", text)) {
        // A power of two from 8 to 256: the quantizer's 3 to 8 bits.
        out.bits = colorsToBits(text);
        if (out.bits == 0) {
            std::fprintf(stderr, "pelko-cli: --colors is 8, 16, 32, 64, 128 or 256\n");
            return usage("convert");
        }
    }
    if (!options.empty())
        return usage("convert");
    return kExitOk;
}

int convertToGif(const Picture& picture, const std::string& outPath, const GifConvertOptions& options)
{
    try {
        TGIFImage image;
        image.SetColorReduction(options.reduction);
        image.SetDitherMode(options.dither);
        image.SetReductionBits(options.bits);
        AddBitmap(image, Bitmap::fromPicture(picture));
        OptimizeColorMap(image);
        writeOutputFile(outPath, image.SaveToBytes());
    } catch (const OutputFileError& e) {
        return fail(e.what());
    } catch (const std::bad_alloc&) {
        return fail(outPath + ": not enough memory to make the GIF");
    } catch (const std::exception& e) {
        return fail(outPath + ": " + e.what());
    }
    return kExitOk;
}

}  // namespace pelko::cli
