#include "cli/output_options.h"

#include <cstdio>
#include <iostream>

#include "cli/gif_names.h"
#include "cli/picture_input.h"
#include "cli/terminal_progress.h"
#include "engine/avi/wav.h"
#include "engine/output/generate_gif.h"

namespace pelko::cli {
namespace {

bool parseInt(const std::string& text, int lo, int hi, int& value)
{
    char tail = 0;
    return std::sscanf(text.c_str(), "%d%c", &value, &tail) == 1 && value >= lo && value <= hi;
}

}  // namespace

int takeOutputOptions(Args& args, OutputOptions& out, bool frameOptions, const char* command)
{
    std::string v;
    out.progressLabel = command;
    out.quiet = takeFlag(args, "--quiet");
    if (takeOption(args, "--loops", v)) {
        int loops = 0;
        if (!parseInt(v, 0, 65535, loops)) {
            std::cerr << "pelko-cli: --loops wants 0 (endless) to 65535\n";
            return usage(command);
        }
        out.gif.loops = std::uint16_t(loops);
        out.loopsGiven = true;
    }
    if (takeOption(args, "--lossy", v)) {
        if (!parseInt(v, 0, 100, out.gif.lossy)) {
            std::cerr << "pelko-cli: --lossy wants 0 to 100\n";
            return usage(command);
        }
        out.lossyGiven = true;
    }
    if (takeOption(args, "--palette", v)) {
        if (v != "best" && v != "octree") {
            std::cerr << "pelko-cli: --palette is octree or best\n";
            return usage(command);
        }
        out.gif.bestPalette = v == "best";
        out.paletteGiven = true;
    }
    out.gif.mergeColorMaps = takeFlag(args, "--optimize");
    out.gif.mergeSimilarities = takeFlag(args, "--merge");
    out.gif.crop = takeFlag(args, "--crop");
    out.gif.interlaced = takeFlag(args, "--interlaced");
    out.gifOptionsGiven =
        out.gif.mergeColorMaps || out.gif.mergeSimilarities || out.gif.crop || out.gif.interlaced;
    out.codecGiven = takeOption(args, "--codec", out.codec);
    if (takeOption(args, "--quality", v)) {
        out.codecGiven = true;
        if (!parseInt(v, 0, 100, out.quality)) {
            std::cerr << "pelko-cli: --quality wants 0 to 100\n";
            return usage(command);
        }
    }
    takeOption(args, "--wav", out.wav);
    if (takeOption(args, "--jobs", v) && !parseInt(v, 1, 64, out.jobs)) {
        std::cerr << "pelko-cli: --jobs wants 1 to 64\n";
        return usage(command);
    }
    if (!frameOptions)
        return kExitOk;

    GifFrameSettings g = kDefaultGifFrameSettings;
    bool given = false;
    if (takeOption(args, "--reduction", v)) {
        TColorReduction r;
        if (!parseReduction(v, r)) {
            listReductions();
            return usage(command);
        }
        g.ColorReduction = std::uint8_t(r);
        given = true;
    }
    if (takeOption(args, "--dither", v)) {
        TDitherMode d;
        if (!parseDither(v, d)) {
            listDithers();
            return usage(command);
        }
        g.ColorDither = std::uint8_t(d);
        given = true;
    }
    if (takeOption(args, "--colors", v)) {
        g.ReductionBit = colorsToBits(v);
        if (g.ReductionBit == 0) {
            std::cerr << "pelko-cli: --colors is 8, 16, 32, 64, 128 or 256\n";
            return usage(command);
        }
        given = true;
    }
    if (takeFlag(args, "--rle")) {
        g.GIFCompression = 1;
        given = true;
    }
    if (takeOption(args, "--transparent", v)) {
        unsigned rgbValue = 0;
        char tail = 0;
        if (v.size() != 6 || std::sscanf(v.c_str(), "%6x%c", &rgbValue, &tail) != 1) {
            std::cerr << "pelko-cli: --transparent wants RRGGBB\n";
            return usage(command);
        }
        g.GIFTransparent = true;
        g.TransparentColor =
            rgb(std::uint8_t(rgbValue >> 16), std::uint8_t(rgbValue >> 8), std::uint8_t(rgbValue));
        given = true;
    }
    if (given)
        out.frameSettings = g;
    return kExitOk;
}

int writeGifOutput(const Project& project, const std::string& path, const OutputOptions& options);
int writeAviOutput(const Project& project, const std::string& path, const OutputOptions& options);
bool knownCodec(const std::string& name);

OutputKind outputKindArg(const std::string& path)
{
    const OutputKind kind = outputKindOf(path);
    if (kind == OutputKind::None)
        fail(path + ": the output must end in .gif or .avi");
    return kind;
}

int checkOutputArgs(const std::string& path, OutputOptions& options, const char* command)
{
    const OutputKind kind = outputKindArg(path);
    if (kind == OutputKind::None)
        return kExitFailed;
    const bool gif = kind == OutputKind::Gif;
    if (gif && (options.codecGiven || !options.wav.empty())) {
        std::cerr << "pelko-cli: --codec, --quality and --wav belong to AVI output, not to " << path << '\n';
        return usage(command);
    }
    if (!gif && (options.gifOptionsGiven || options.loopsGiven || options.lossyGiven ||
                 options.paletteGiven || options.frameSettings)) {
        std::cerr << "pelko-cli: the GIF options (--loops --optimize --merge --crop --interlaced --lossy "
                     "--palette and the frame settings) do not go with AVI output: "
                  << path << '\n';
        return usage(command);
    }
    if (!gif && !knownCodec(options.codec))
        return usage(command);
    if (!checkOutputPath(path))
        return kExitFailed;
    if (!gif && !options.wav.empty()) {
        WavLayout layout;
        std::string reason;
        if (!ReadWavForAvi(options.wav, layout, reason))
            options.soundDropped = options.wav + ": " + reason;
    }
    return kExitOk;
}

int writeOutput(const Project& project, const std::string& path, const OutputOptions& options)
{
    switch (outputKindArg(path)) {
        case OutputKind::Gif:
            return writeGifOutput(project, path, options);
        case OutputKind::Avi:
            return writeAviOutput(project, path, options);
        case OutputKind::None:
            break;
    }
    return kExitFailed;
}

int writeGifOutput(const Project& project, const std::string& path, const OutputOptions& options)
{
    TerminalProgress progress(options.progressLabel, project.frames.count(), options.quiet);
    AnimatedGifOptions gif = options.gif;
    gif.jobs = options.jobs;
    const OutputResult result = generateGifFile(project, gif, path, progress);
    progress.finish();
    return result.ok ? kExitOk : fail(result.failure);
}

}  // namespace pelko::cli
