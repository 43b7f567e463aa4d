#include "cli/output_options.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "cli/gif_names.h"
#include "cli/picture_input.h"
#include "cli/terminal_progress.h"
#include "engine/avi/wav.h"
#include "engine/output/generate_gif.h"
#include "engine/output/size_budget.h"
#include "engine/output/size_estimate.h"

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
        out.qualityGiven = true;
        if (!parseInt(v, 0, 100, out.quality)) {
            std::cerr << "pelko-cli: --quality wants 0 to 100\n";
            return usage(command);
        }
        out.webp.quality = out.quality;
    }
    out.webp.lossless = takeFlag(args, "--lossless");
    out.webp.minimizeSize = takeFlag(args, "--minimize");
    out.webpGiven = out.webp.lossless || out.webp.minimizeSize;
    if (takeOption(args, "--keyframes", v)) {
        if (!parseInt(v, 1, 100000, out.webp.keyFrameSpacing)) {
            std::cerr << "pelko-cli: --keyframes wants 1 to 100000\n";
            return usage(command);
        }
        out.webpGiven = true;
    }
    if (takeOption(args, "--crf", v) && !parseInt(v, 0, 63, out.crf)) {
        std::cerr << "pelko-cli: --crf wants 0 to 63\n";
        return usage(command);
    }
    takeOption(args, "--preset", out.preset);
    if (takeOption(args, "--max-size", v) && !parseByteSize(v, out.maxBytes)) {
        std::cerr << "pelko-cli: --max-size wants a size in bytes, with k or M for thousands or millions\n";
        return usage(command);
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
    const bool otherFrameSettings = given;
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
    out.onlyTransparent = given && !otherFrameSettings;
    return kExitOk;
}

bool parseByteSize(const std::string& text, std::int64_t& bytes)
{
    double value = 0;
    char unit = 0, tail = 0;
    const int n = std::sscanf(text.c_str(), "%lf%c%c", &value, &unit, &tail);
    if (n < 1 || n > 2 || !std::isfinite(value))
        return false;
    double scale = 1;
    if (n == 2) {
        if (unit == 'k' || unit == 'K')
            scale = 1e3;
        else if (unit == 'M' || unit == 'm')
            scale = 1e6;
        else
            return false;
    }
    const double b = std::floor(value * scale);
    if (b < 1 || b > 1e15)
        return false;
    bytes = std::int64_t(b);
    return true;
}

int writeGifOutput(const Project& project, const std::string& path, const OutputOptions& options);
int writeAviOutput(const Project& project, const std::string& path, const OutputOptions& options);
int writeWebpOutput(const Project& project, const std::string& path, const OutputOptions& options);
int writeApngOutput(const Project& project, const std::string& path, const OutputOptions& options);
int writeVideoOutput(const Project& project, const std::string& path, const OutputOptions& options);
bool knownCodec(const std::string& name);

OutputKind outputKindArg(const std::string& path, OutputKinds kinds)
{
    OutputKind kind = outputKindOf(path);
    if (kinds == OutputKinds::GifAvi && kind != OutputKind::Gif && kind != OutputKind::Avi)
        kind = OutputKind::None;
    if (kind == OutputKind::None)
        fail(path + (kinds == OutputKinds::GifAvi
                         ? ": the output must end in .gif or .avi"
                         : ": the output must end in .gif, .avi, .webp, .apng, .mp4 or .webm"));
    return kind;
}

namespace {

// The first option given that the kind of output does not take, or null.
const char* optionNotFor(OutputKind kind, const OutputOptions& o)
{
    using K = OutputKind;
    struct Belonging {
        bool given;
        const char* name;
        std::initializer_list<K> kinds;
    };
    const bool transparency = o.frameSettings && o.onlyTransparent;
    const Belonging options[] = {
        {o.codecGiven, "--codec", {K::Avi}},
        {o.qualityGiven, "--quality", {K::Avi, K::WebP}},
        {!o.wav.empty(), "--wav", {K::Avi, K::Mp4, K::WebM}},
        {o.loopsGiven, "--loops", {K::Gif, K::WebP, K::Apng}},
        {o.gifOptionsGiven || o.lossyGiven || o.paletteGiven, "the GIF options", {K::Gif}},
        {o.frameSettings && !transparency, "the frame settings", {K::Gif}},
        {transparency, "--transparent", {K::Gif, K::WebP, K::Apng}},
        {o.webpGiven, "--lossless, --minimize and --keyframes", {K::WebP}},
        {o.crf >= 0, "--crf", {K::Mp4, K::WebM}},
        {!o.preset.empty(), "--preset", {K::Mp4}},
        {o.maxBytes > 0, "--max-size", {K::Gif, K::WebP, K::Mp4, K::WebM}},
    };
    for (const Belonging& b : options)
        if (b.given && std::find(b.kinds.begin(), b.kinds.end(), kind) == b.kinds.end())
            return b.name;
    return nullptr;
}

}  // namespace

int checkOutputArgs(const std::string& path, OutputOptions& options, const char* command)
{
    const OutputKind kind = outputKindArg(path, OutputKinds::All);
    if (kind == OutputKind::None)
        return kExitFailed;
    const bool gif = kind == OutputKind::Gif;
    const bool avi = kind == OutputKind::Avi;
    if (gif && (options.codecGiven || options.qualityGiven || !options.wav.empty())) {
        std::cerr << "pelko-cli: --codec, --quality and --wav belong to AVI output, not to " << path << '\n';
        return usage(command);
    }
    if (avi && (options.gifOptionsGiven || options.loopsGiven || options.lossyGiven || options.paletteGiven ||
                options.frameSettings)) {
        std::cerr << "pelko-cli: the GIF options (--loops --optimize --merge --crop --interlaced --lossy "
                     "--palette and the frame settings) do not go with AVI output: "
                  << path << '\n';
        return usage(command);
    }
    if (const char* name = optionNotFor(kind, options)) {
        std::cerr << "pelko-cli: " << name << " do" << (name[0] == '-' && !std::strchr(name, ',') ? "es" : "")
                  << " not go with " << outputKindName(kind) << " output: " << path << '\n';
        return usage(command);
    }
    if (kind == OutputKind::Mp4 && options.crf > 51) {
        std::cerr << "pelko-cli: --crf wants 0 to 51 for MP4\n";
        return usage(command);
    }
    if (avi && !knownCodec(options.codec))
        return usage(command);
    if (!checkOutputPath(path))
        return kExitFailed;
    if (avi && !options.wav.empty()) {
        WavLayout layout;
        std::string reason;
        if (!ReadWavForAvi(options.wav, layout, reason))
            options.soundDropped = options.wav + ": " + reason;
    }
    return kExitOk;
}

int writeOutput(const Project& project, const std::string& path, const OutputOptions& options)
{
    switch (outputKindArg(path, OutputKinds::All)) {
        case OutputKind::Gif:
            return writeGifOutput(project, path, options);
        case OutputKind::Avi:
            return writeAviOutput(project, path, options);
        case OutputKind::WebP:
            return writeWebpOutput(project, path, options);
        case OutputKind::Apng:
            return writeApngOutput(project, path, options);
        case OutputKind::Mp4:
        case OutputKind::WebM:
            return writeVideoOutput(project, path, options);
        case OutputKind::None:
            break;
    }
    return kExitFailed;
}

int finishOutput(const std::string& path, const OutputResult& result)
{
    if (!result.ok)
        return fail(result.failure);
    if (result.budget)
        std::cout << path << ": " << budgetReportText(*result.budget) << '\n';
    return kExitOk;
}

int writeGifOutput(const Project& project, const std::string& path, const OutputOptions& options)
{
    TerminalProgress progress(options.progressLabel, project.frames.count(), options.quiet);
    AnimatedGifOptions gif = options.gif;
    gif.jobs = options.jobs;
    const OutputResult result = options.maxBytes > 0
                                    ? generateGifUnderBudget(project, gif, options.maxBytes, path, progress)
                                    : generateGifFile(project, gif, path, progress);
    progress.finish();
    return finishOutput(path, result);
}

}  // namespace pelko::cli
