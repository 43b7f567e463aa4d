#include "cli/convert_gif.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>

#include "engine/gif/bitmap_frame.h"
#include "engine/gif/gif_image.h"
#include "engine/gif/optimize.h"
#include "engine/image/ppm.h"

namespace pelko::cli {

namespace {

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// NAME matches the mode's name with or without its two-letter prefix, in any case.
template <class Enum, std::size_t N>
bool parseName(const std::string& text, const std::pair<const char*, Enum> (&names)[N], Enum& value)
{
    std::string t = lower(text);
    for (const auto& [name, v] : names) {
        std::string n = lower(name);
        if (t == n || t == n.substr(2)) {
            value = v;
            return true;
        }
    }
    return false;
}

// rmPalette needs a palette, which the command line cannot give.
const std::pair<const char*, TColorReduction> kReductions[] = {
    {"rmNone", rmNone},           {"rmWindows20", rmWindows20}, {"rmWindows256", rmWindows256},
    {"rmWindowsGray", rmWindowsGray}, {"rmMonochrome", rmMonochrome}, {"rmGrayScale", rmGrayScale},
    {"rmNetscape", rmNetscape},   {"rmQuantize", rmQuantize},   {"rmQuantizeWindows", rmQuantizeWindows},
};
const std::pair<const char*, TDitherMode> kDithers[] = {
    {"dmNearest", dmNearest}, {"dmFloydSteinberg", dmFloydSteinberg}, {"dmStucki", dmStucki},
    {"dmSierra", dmSierra},   {"dmJaJuNI", dmJaJuNI},                 {"dmSteveArche", dmSteveArche},
    {"dmBurkes", dmBurkes},
};

template <class Enum, std::size_t N>
void listNames(const char* what, const std::pair<const char*, Enum> (&names)[N])
{
    std::fprintf(stderr, "pelko-cli: %s is one of:", what);
    for (const auto& n : names) std::fprintf(stderr, " %s", lower(n.first + 2).c_str());
    std::fprintf(stderr, "\n");
}

}  // namespace

int convertToGif(const Picture& picture, const std::string& outPath, Args& options)
{
    // The defaults of a new frame: quantized to 256 colours, no dithering.
    TColorReduction reduction = rmQuantize;
    TDitherMode dither = dmNearest;
    int bits = 8;
    std::string text;
    if (takeOption(options, "--reduction", text) && !parseName(text, kReductions, reduction)) {
        listNames("--reduction", kReductions);
        return usage("convert");
    }
    if (takeOption(options, "--dither", text) && !parseName(text, kDithers, dither)) {
        listNames("--dither", kDithers);
        return usage("convert");
    }
    if (takeOption(options, "--colors", text)) {
        // A power of two from 8 to 256: the quantizer's 3 to 8 bits.
        bits = 0;
        for (int b = 3; b <= 8; ++b)
            if (text == std::to_string(1 << b)) bits = b;
        if (bits == 0) {
            std::fprintf(stderr, "pelko-cli: --colors is 8, 16, 32, 64, 128 or 256\n");
            return usage("convert");
        }
    }
    if (!options.empty()) return usage("convert");

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
