// pelko-cli convert IN OUT: reads any picture Pelko reads (a GIF gives its
// first non-empty frame) and writes it in the kind OUT's extension names.

#include <new>
#include <string>

#include "cli/command.h"
#include "cli/convert_gif.h"
#include "cli/picture_input.h"
#include "engine/base/output_file.h"
#include "engine/image/bmp_writer.h"
#include "engine/image/file_kind.h"
#include "engine/image/jpeg_codec.h"
#include "engine/image/png_picture.h"
#include "engine/image/ppm.h"

namespace pelko::cli {

namespace {

constexpr OptionHelp kConvertHelp[] = {
    {"--quality Q", "JPEG: the quality, 0 to 100 (default 100)"},
    {"--reduction NAME",
     "GIF: the colour reduction, one of: none, windows20, windows256, windowsgray, monochrome, grayscale, "
     "netscape, quantize, quantizewindows (default quantize)"},
    {"--dither NAME",
     "GIF: the dithering, one of: nearest, floydsteinberg, stucki, sierra, jajuni, stevearche, burkes "
     "(default nearest)"},
    {"--colors N", "GIF: the palette's colours, one of: 8, 16, 32, 64, 128, 256 (default 256)"},
};

// The picture of IN, or "IN: reason" in error.
bool readInput(const std::string& path, Picture& picture, std::string& error)
{
    if (hasExtension(path, ".gif")) {
        std::optional<GifSource> gif = CliSourceReader().readGif(path, error);
        if (!gif)
            return false;
        for (GifSourceFrame& frame : gif->frames)
            if (!frame.empty) {
                picture = frame.toPicture();
                return true;
            }
        error = path + ": the GIF holds no picture";
        return false;
    }
    std::optional<Picture> still = readStillWithReason(path, error);
    if (!still)
        return false;
    picture = std::move(*still);
    return true;
}

bool parseQuality(const std::string& text, int& quality)
{
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    quality = std::stoi(text);
    return quality <= 100;
}

int runConvert(const Args& arguments)
{
    Args args = arguments;
    int quality = 100;
    std::string qualityText;
    const bool hasQuality = takeOption(args, "--quality", qualityText);
    if (hasQuality && !parseQuality(qualityText, quality))
        return usage("convert");
    if (args.size() < 2)
        return usage("convert");
    const std::string in = args[0], out = args[1];
    args.erase(args.begin(), args.begin() + 2);

    const std::string ext = fileExtension(out);
    const bool gif = ext == ".gif";
    const bool known =
        gif || ext == ".bmp" || ext == ".png" || ext == ".jpg" || ext == ".jpeg" || ext == ".ppm";
    // The colour options belong to GIF output, the quality to JPEG.
    if (!known || (!gif && !args.empty()) || (hasQuality && ext != ".jpg" && ext != ".jpeg"))
        return usage("convert");

    GifConvertOptions gifOptions;
    if (gif) {
        if (const int rc = takeGifConvertOptions(args, gifOptions))
            return rc;
    }
    if (!checkOutputPath(out))
        return kExitFailed;
    Picture picture;
    std::string error;
    if (!readInput(in, picture, error))
        return fail(error);
    if (gif)
        return convertToGif(picture, out, gifOptions);
    try {
        std::vector<std::uint8_t> bytes;
        if (ext == ".bmp")
            bytes = encodeBmp(picture);
        else if (ext == ".png")
            bytes = encodePngPicture(picture);
        else if (ext == ".ppm")
            bytes = encodePpm(picture);
        else
            bytes = encodeJpeg(picture, quality);
        writeOutputFile(out, bytes);
    } catch (const OutputFileError& e) {
        return fail(e.what());
    } catch (const std::bad_alloc&) {
        return fail(out + ": not enough memory to encode the picture");
    } catch (const std::exception& e) {
        return fail(out + ": " + e.what());
    }
    return kExitOk;
}

}  // namespace

PELKO_CLI_COMMAND(
    "convert", "IN OUT [--quality 0..100] [--reduction NAME --dither NAME --colors N]",
    "convert a picture (BMP, JPEG, PNG, ICO, GIF's first frame, PPM) to BMP, PNG, JPEG, GIF or PPM "
    "by OUT's extension",
    runConvert, optionHelp({kConvertHelp}));

}  // namespace pelko::cli
