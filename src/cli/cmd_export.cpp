// pelko-cli export PROJECT.mcp N OUT: what "Save frame" writes for frame N,
// with the format's options given on the command line instead of its
// dialog.

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <new>

#include "cli/cache_option.h"
#include "cli/command.h"
#include "cli/gif_names.h"
#include "cli/picture_input.h"
#include "engine/base/output_file.h"
#include "engine/export/export_frame.h"
#include "engine/project/frame_cache.h"
#include "engine/project/project_file.h"

namespace pelko::cli {
namespace {

constexpr OptionHelp kExportHelp[] = {
    {"--bits B", "BMP: bits per pixel, one of 1, 4, 8, 16, 24, 32 (default 24)"},
    {"--quality Q", "JPEG: quality, 0 to 100 (default 100)"},
    {"--interlaced", "PNG: Adam7 interlacing"},
    {"--level L", "PNG: compression level, 0 (fastest) to 9 (smallest file) (default 9)"},
    {"--transparent RRGGBB",
     "PNG: the colour stored as transparent (default FFFFFF); GIF: makes that colour transparent "
     "(default: none)"},
    {"--reduction NAME",
     "GIF: colour reduction, one of: none, windows20, windows256, windowsgray, monochrome, grayscale, "
     "netscape, quantize, quantizewindows (default quantize)"},
    {"--dither NAME",
     "GIF: dithering, one of: nearest, floydsteinberg, stucki, sierra, jajuni, stevearche, burkes "
     "(default nearest)"},
    {"--colors N", "GIF: colours of the palette, one of: 8, 16, 32, 64, 128, 256 (default 256)"},
    {"--rle", "GIF: run-length coded image data instead of LZW"},
};

bool parseInt(const std::string& text, int lo, int hi, int& value)
{
    char tail = 0;
    return std::sscanf(text.c_str(), "%d%c", &value, &tail) == 1 && value >= lo && value <= hi;
}

bool parseColour(const std::string& text, Color& colour)
{
    unsigned value = 0;
    char tail = 0;
    if (text.size() != 6 || std::sscanf(text.c_str(), "%6x%c", &value, &tail) != 1)
        return false;
    colour = rgb(std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value));
    return true;
}

// An option given for another format than the output's is wrong usage.
int notFor(const std::string& option, const std::string& out)
{
    std::cerr << "pelko-cli: " << option << " does not go with " << out << '\n';
    return usage("export");
}

// Takes the format's options out of args into settings. kExitOk or the
// usage exit code after a message.
int takeExportOptions(Args& args, ExportFormat format, const std::string& out, ExportSettings& settings)
{
    std::string v;
    if (takeOption(args, "--bits", v)) {
        if (format != ExportFormat::Bmp)
            return notFor("--bits", out);
        if (!parseInt(v, 1, 32, settings.bmpBits) || !isBmpBits(settings.bmpBits)) {
            std::cerr << "pelko-cli: --bits is 1, 4, 8, 16, 24 or 32\n";
            return usage("export");
        }
    }
    if (takeOption(args, "--quality", v)) {
        if (format != ExportFormat::Jpeg)
            return notFor("--quality", out);
        if (!parseInt(v, 0, kMaxJpegQuality, settings.jpegQuality)) {
            std::cerr << "pelko-cli: --quality wants 0 to 100\n";
            return usage("export");
        }
    }
    if (takeFlag(args, "--interlaced")) {
        if (format != ExportFormat::Png)
            return notFor("--interlaced", out);
        settings.pngInterlace = true;
    }
    if (takeOption(args, "--level", v)) {
        if (format != ExportFormat::Png)
            return notFor("--level", out);
        if (!parseInt(v, 0, kMaxPngCompressionLevel, settings.pngCompressionLevel)) {
            std::cerr << "pelko-cli: --level wants 0 to 9\n";
            return usage("export");
        }
    }
    if (takeOption(args, "--transparent", v)) {
        Color c = 0;
        if (format != ExportFormat::Png && format != ExportFormat::Gif)
            return notFor("--transparent", out);
        if (!parseColour(v, c)) {
            std::cerr << "pelko-cli: --transparent wants RRGGBB\n";
            return usage("export");
        }
        settings.pngTransparentColor = c;
        settings.gif.gif.GIFTransparent = true;
        settings.gif.gif.TransparentColor = c;
    }
    GifFrameSettings& g = settings.gif.gif;
    if (takeOption(args, "--reduction", v)) {
        TColorReduction r;
        if (format != ExportFormat::Gif)
            return notFor("--reduction", out);
        if (!parseReduction(v, r)) {
            listReductions();
            return usage("export");
        }
        g.ColorReduction = std::uint8_t(r);
    }
    if (takeOption(args, "--dither", v)) {
        TDitherMode d;
        if (format != ExportFormat::Gif)
            return notFor("--dither", out);
        if (!parseDither(v, d)) {
            listDithers();
            return usage("export");
        }
        g.ColorDither = std::uint8_t(d);
    }
    if (takeOption(args, "--colors", v)) {
        if (format != ExportFormat::Gif)
            return notFor("--colors", out);
        g.ReductionBit = colorsToBits(v);
        if (g.ReductionBit == 0) {
            std::cerr << "pelko-cli: --colors is 8, 16, 32, 64, 128 or 256\n";
            return usage("export");
        }
    }
    if (takeFlag(args, "--rle")) {
        if (format != ExportFormat::Gif)
            return notFor("--rle", out);
        g.GIFCompression = 1;
    }
    return kExitOk;
}

int runExport(const Args& given)
{
    Args args = given;
    if (const int rc = takeCacheOption(args, "export"))
        return rc;
    // the output's format decides which options belong to it
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) == 0) {
            const bool flag = args[i] == "--interlaced" || args[i] == "--rle";
            i += flag ? 0 : 1;
            continue;
        }
        positional.push_back(args[i]);
    }
    if (positional.size() != 3)
        return usage("export");
    const std::string in = positional[0];
    const std::string out = positional[2];
    int number = 0;
    if (!parseInt(positional[1], 1, 1 << 30, number)) {
        std::cerr << "pelko-cli: the frame number N counts from 1: " << positional[1] << '\n';
        return usage("export");
    }
    const ExportFormat format = exportFormatOf(out);
    if (format == ExportFormat::None)
        return fail(out + ": the output must end in .bmp, .gif, .jpg, .jpeg or .png");
    ExportSettings settings = initialExportSettings(24);
    if (const int rc = takeExportOptions(args, format, out, settings))
        return rc;
    if (args.size() != 3)
        return usage("export");
    for (const std::string& a : args)
        if (a.rfind("--", 0) == 0)
            return usage("export");

    struct stat st {};
    if (::stat(in.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return fail(systemErrorText(in, S_ISDIR(st.st_mode) ? EISDIR : errno));
    if (!checkOutputPath(out))
        return kExitFailed;
    Project project;
    CliSourceReader reader;
    const OpenResult opened = openProjectFile(project, in, reader, DefaultFrameSize{});
    for (const std::string& e : opened.errors) std::cerr << "pelko-cli: " << e << '\n';
    for (const std::string& line : project.log.lines())
        std::cerr << "pelko-cli: " << in << ": " << line << '\n';
    // a frame left out would shift the numbers after it
    if (!opened.errors.empty() || project.changed)
        return fail(in + ": not every frame of the project could be read; nothing written");
    if (number > project.frames.count())
        return fail(in + ": there is no frame " + std::to_string(number) + "; the project has " +
                    std::to_string(project.frames.count()) + " frames");
    const int index = number - 1;
    const FramePicture image = frameImage(project, index);
    if (!image.ok())
        return fail(in + ": " + frameFailureLine(project, index, image.status) + "; nothing written");
    OutputResult result;
    try {
        result = saveFrameFile(exportPicture(project, index), out, settings);
    } catch (const std::bad_alloc&) {
        addFailure(result, OutputFailure::FrameMemory, out);
    }
    return result.ok ? kExitOk : fail(result.failure);
}

}  // namespace

PELKO_CLI_COMMAND("export",
                  "PROJECT.mcp N OUTPUT.bmp|OUTPUT.gif|OUTPUT.jpg|OUTPUT.png [--bits B] [--quality Q] "
                  "[--interlaced] [--level L] [--transparent RRGGBB] [--reduction NAME] [--dither NAME] "
                  "[--colors N] [--rle] [--cache-mb N]",
                  "save frame N (counting from 1) of a project as a still picture, as Save frame does; the "
                  "format follows the extension",
                  runExport, optionHelp({kExportHelp, kCacheOptionHelp}));

}  // namespace pelko::cli
