#include "cli/gif_names.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

namespace pelko::cli {
namespace {

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// rmPalette needs a palette, which the command line cannot give.
const std::pair<const char*, TColorReduction> kReductions[] = {
    {"rmNone", rmNone},
    {"rmWindows20", rmWindows20},
    {"rmWindows256", rmWindows256},
    {"rmWindowsGray", rmWindowsGray},
    {"rmMonochrome", rmMonochrome},
    {"rmGrayScale", rmGrayScale},
    {"rmNetscape", rmNetscape},
    {"rmQuantize", rmQuantize},
    {"rmQuantizeWindows", rmQuantizeWindows},
};
const std::pair<const char*, TDitherMode> kDithers[] = {
    {"dmNearest", dmNearest}, {"dmFloydSteinberg", dmFloydSteinberg},
    {"dmStucki", dmStucki},   {"dmSierra", dmSierra},
    {"dmJaJuNI", dmJaJuNI},   {"dmSteveArche", dmSteveArche},
    {"dmBurkes", dmBurkes},
};

template <class Enum, std::size_t N>
bool parseName(const std::string& text, const std::pair<const char*, Enum> (&names)[N], Enum& value)
{
    const std::string t = lower(text);
    for (const auto& [name, v] : names) {
        const std::string n = lower(name);
        if (t == n || t == n.substr(2)) {
            value = v;
            return true;
        }
    }
    return false;
}

template <class Enum, std::size_t N>
void listNames(const char* what, const std::pair<const char*, Enum> (&names)[N])
{
    std::fprintf(stderr, "pelko-cli: %s is one of:", what);
    for (const auto& n : names) std::fprintf(stderr, " %s", lower(n.first + 2).c_str());
    std::fprintf(stderr, "\n");
}

}  // namespace

bool parseReduction(const std::string& text, TColorReduction& value)
{
    return parseName(text, kReductions, value);
}
bool parseDither(const std::string& text, TDitherMode& value)
{
    return parseName(text, kDithers, value);
}

int colorsToBits(const std::string& text)
{
    for (int b = 3; b <= 8; ++b)
        if (text == std::to_string(1 << b))
            return b;
    return 0;
}

void listReductions()
{
    listNames("--reduction", kReductions);
}
void listDithers()
{
    listNames("--dither", kDithers);
}

}  // namespace pelko::cli
