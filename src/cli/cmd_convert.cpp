// pelko-cli convert IN OUT: reads any picture Pelko reads (a GIF gives its
// first non-empty frame) and writes it in the kind OUT's extension names.

#include <string>

#include "cli/command.h"
#include "cli/convert_gif.h"
#include "engine/image/bmp_writer.h"
#include "engine/image/file_kind.h"
#include "engine/image/jpeg_codec.h"
#include "engine/image/picture_reader.h"
#include "engine/image/png_picture.h"
#include "engine/image/ppm.h"
#include "engine/project/image_sources.h"

namespace pelko::cli {

namespace {

// The picture of IN, or a failure text in error.
bool readInput(const std::string& path, Picture& picture, std::string& error)
{
    if (hasExtension(path, ".gif")) {
        std::optional<GifSource> gif = makeFileSourceReader()->readGif(path, error);
        if (!gif)
            return false;
        for (GifSourceFrame& frame : gif->frames)
            if (!frame.empty) {
                picture = std::move(frame.picture);
                return true;
            }
        error = "the GIF holds no picture: " + path;
        return false;
    }
    if (hasExtension(path, ".ppm")) {
        try {
            const auto bytes = readFile(path);
            picture = decodePpm(bytes.data(), bytes.size());
            return true;
        } catch (const std::exception& e) {
            error = e.what();
            return false;
        }
    }
    if (stillKindOf(path) == StillKind::None) {
        error = "not a picture Pelko reads (BMP, JPG, JPEG, PNG, ICO, GIF or PPM): " + path;
        return false;
    }
    try {
        picture = readStillPicture(path);
        return true;
    } catch (const PictureReadError& e) {
        error = e.what();
        return false;
    }
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

    Picture picture;
    std::string error;
    if (!readInput(in, picture, error))
        return fail(error);
    if (gif)
        return convertToGif(picture, out, args);
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
        writeFile(out, bytes);
    } catch (const std::exception& e) {
        return fail(std::string(e.what()));
    }
    return kExitOk;
}

}  // namespace

PELKO_CLI_COMMAND(
    "convert", "IN OUT [--quality 0..100] [--reduction NAME --dither NAME --colors N]",
    "convert a picture (BMP, JPEG, PNG, ICO, GIF's first frame, PPM) to BMP, PNG, JPEG, GIF or PPM "
    "by OUT's extension",
    runConvert);

}  // namespace pelko::cli
