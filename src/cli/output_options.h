#pragma once
// The output options shared by "make" and "generate".

#include <optional>
#include <string>

#include "cli/command.h"
#include "engine/output/animated_png.h"
#include "engine/output/animated_webp.h"
#include "engine/output/build_animated_gif.h"
#include "engine/output/output_target.h"
#include "engine/project/frame_record.h"

namespace pelko::cli {

struct OutputOptions {
    AnimatedGifOptions gif;
    bool gifOptionsGiven = false;                   // any of --optimize --merge --crop --interlaced
    bool loopsGiven = false;                        // --loops
    bool lossyGiven = false;                        // --lossy
    bool paletteGiven = false;                      // --palette
    std::optional<GifFrameSettings> frameSettings;  // applied to every frame (make)
    bool onlyTransparent = false;                   // of the frame settings only --transparent was given
    std::string codec = "dib";
    bool codecGiven = false;    // --codec
    bool qualityGiven = false;  // --quality
    int quality = 75;
    std::string wav;
    WebpOptions webp;
    bool webpGiven = false;     // --lossless, --minimize or --keyframes
    int crf = -1;               // --crf; -1: the format's default
    std::string preset;         // --preset; empty: the default
    std::int64_t maxBytes = 0;  // --max-size; 0: no budget
    int jobs = 0;               // 0: one per core
    bool quiet = false;         // --quiet: no progress line
    std::string progressLabel;  // the command's name, for the progress line
    // Set by checkOutputArgs for a --wav that cannot go into the AVI: the AVI
    // is written without it and the command ends with kExitWithoutSound.
    std::string soundDropped;
};

// The options of takeOutputOptions, for the commands' --help.
inline constexpr OptionHelp kFrameSettingsHelp[] = {
    {"--reduction NAME",
     "colour reduction of every frame, one of: none, windows20, windows256, windowsgray, monochrome, "
     "grayscale, netscape, quantize, quantizewindows (default quantize)"},
    {"--dither NAME",
     "dithering of every frame, one of: nearest, floydsteinberg, stucki, sierra, jajuni, stevearche, burkes "
     "(default nearest)"},
    {"--colors N", "colours of every frame's palette, one of: 8, 16, 32, 64, 128, 256 (default 256)"},
    {"--rle", "run-length coded image data instead of LZW"},
    {"--transparent RRGGBB", "the colour that is transparent in every frame (default: none)"},
};
inline constexpr OptionHelp kGifOutputHelp[] = {
    {"--loops N", "GIF, WebP, APNG: how often the animation plays, 0 (endless) to 65535 (default 0)"},
    {"--optimize", "GIF: one colour map shared by every frame"},
    {"--merge", "GIF: pixels that do not change from the frame before become transparent"},
    {"--crop", "GIF: transparent frames are cut down to their visible part"},
    {"--interlaced", "GIF: interlaced frames"},
    {"--lossy N",
     "GIF: a smaller file, 0 (exact) to 100 (default 0): with --palette octree through lossy LZW (a pixel "
     "may be written in a colour up to N/2 away, RGB distance); with --palette best also pixels kept from "
     "the frame before where they are close enough, and fewer colours"},
    {"--palette NAME",
     "GIF: each frame's palette, one of: octree (as the frame settings say), best (refined, made for the "
     "pixels that changed, with what stays the same kept from the frame before) (default octree)"},
    {"--jobs N", "GIF: threads reducing the frames' colours, 1 to 64 (default: one per core)"},
};
inline constexpr OptionHelp kNewOutputHelp[] = {
    {"--quality Q", "WebP: the lossy quality, 0 to 100 (default 86); with --lossless the effort"},
    {"--lossless", "WebP: every frame stored exactly"},
    {"--minimize", "WebP: also try other rectangles and blends for each frame (smaller, slower)"},
    {"--keyframes N", "WebP: at most N frames between frames that stand alone (default: only the first)"},
    {"--crf N", "MP4: the constant rate factor, 0 to 51; WebM: 0 to 63 (default 23)"},
    {"--preset NAME", "MP4: the encoder's speed preset, ultrafast to veryslow (default medium)"},
    {"--max-size SIZE",
     "GIF, WebP, MP4, WebM: the file is made at the best quality that fits in SIZE bytes (k and M: "
     "thousands and millions, e.g. 1.5M); the last line tells the size, the setting and the mean PSNR"},
};
inline constexpr OptionHelp kAviOutputHelp[] = {
    {"--codec NAME",
     "AVI: the video codec's four-letter code, e.g. dib (uncompressed), divx, mjpg, h264, ffv1; a name "
     "that is not there lists the codecs at hand (default dib)"},
    {"--quality Q", "AVI: the codec's quality, 0 to 100 (default 75)"},
    {"--wav FILE",
     "AVI: a WAV sound track (PCM); an AVI that cannot take it is written without it, exit code 3"},
};

// Takes the output options out of args. frameOptions: also accept the frame
// settings (--reduction, --dither, --colors, --rle, --transparent). Returns
// kExitOk or the usage exit code (after printing why).
int takeOutputOptions(Args& args, OutputOptions& out, bool frameOptions, const char* command);

// The outputs a command writes.
enum class OutputKinds { GifAvi, All };

// The kind of output path names by its extension (outputKindOf); None after
// "PATH: the output must end in .gif or .avi" (or the longer list of every
// kind) on stderr.
OutputKind outputKindArg(const std::string& path, OutputKinds kinds = OutputKinds::GifAvi);

// "1500000", "1.5M", "800k": bytes, k and M powers of 1000. False for
// anything else or less than 1 byte.
bool parseByteSize(const std::string& text, std::int64_t& bytes);

// Checks, before any picture is read, what can be checked of the output:
// options that belong to the other kind of output and an unknown codec are
// wrong usage (kExitUsage), a path that cannot take the file fails
// (kExitFailed, "PATH: reason"), and a --wav that cannot be used is noted in
// soundDropped. Returns kExitOk or the exit code, after printing why.
int checkOutputArgs(const std::string& path, OutputOptions& options, const char* command);

// Writes the project as an animated GIF, an AVI, an animated WebP or PNG, an
// MP4 or a WebM video by the extension of path.
// Returns an exit code; messages go to stderr as "FILE: reason". A failure
// leaves no file at path (an existing one stays as it was).
int writeOutput(const Project& project, const std::string& path, const OutputOptions& options);

// The exit code of a write that ended with result: the failure on stderr,
// or, for a write under a size budget, "PATH: SIZE, SETTING, mean PSNR N dB"
// on stdout.
int finishOutput(const std::string& path, const OutputResult& result);

}  // namespace pelko::cli
