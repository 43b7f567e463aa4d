// pelko-cli text PROJECT.mcp N --text T: what "Creeping line" does with frame
// N as the anchor. The text is drawn with the desktop's fonts, as the window
// draws it.

#include <QGuiApplication>
#include <iostream>
#include <sstream>

#include "cli/cache_option.h"
#include "cli/command.h"
#include "cli/effect_args.h"
#include "cli/picture_input.h"
#include "cli/terminal_progress.h"
#include "engine/effects/creeping_line.h"
#include "platform/qt_text_drawer.h"

namespace pelko::cli {
namespace {

constexpr int kMaxFontSize = 1000;

constexpr OptionHelp kTextHelp[] = {
    {"--text T", "the line of text, needed (it may be empty)"},
    {"--direction DIR",
     "where the text comes from, one of: left (left to right), right (right to left), down (top to bottom), "
     "up "
     "(bottom to top) (default left)"},
    {"--count n", "frames, 1 to 1000 (default 5)"},
    {"--time MS", "the time of each frame, 20 to 100000 ms (default 300)"},
    {"--font FAMILY,SIZE[,bold][,italic]",
     "the font, a size of 1 to 1000 points (default Sans Serif,12,bold)"},
    {"--color RRGGBB", "the text's colour (default FF0000, red)"},
    {"--background RRGGBB", "the colour behind the text (default FFFFFF, white)"},
    {"--area L,T,W,H", "the part of the canvas the text creeps in (default: the whole canvas)"},
    {"--start X,Y", "where the text starts inside the area (default 0,0)"},
};

std::vector<std::string> splitAtCommas(const std::string& text)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, ',');) parts.push_back(part);
    if (!text.empty() && text.back() == ',')
        parts.emplace_back();
    return parts;
}

bool parseNumbers(const std::string& text, std::size_t count, std::vector<int>& values)
{
    const std::vector<std::string> parts = splitAtCommas(text);
    if (parts.size() != count)
        return false;
    values.assign(count, 0);
    for (std::size_t i = 0; i < count; ++i)
        if (!parseNumber(parts[i], 0, 65535, values[i]))
            return false;
    return true;
}

// FAMILY,SIZE[,bold][,italic]
bool parseFont(const std::string& text, TextFont& font)
{
    const std::vector<std::string> parts = splitAtCommas(text);
    if (parts.size() < 2 || parts[0].empty() || !parseNumber(parts[1], 1, kMaxFontSize, font.size))
        return false;
    font.family = parts[0];
    font.bold = font.italic = false;
    for (std::size_t i = 2; i < parts.size(); ++i) {
        if (parts[i] == "bold")
            font.bold = true;
        else if (parts[i] == "italic")
            font.italic = true;
        else
            return false;
    }
    return true;
}

bool parseDirection(const std::string& text, CreepDirection& d)
{
    const std::pair<const char*, CreepDirection> names[] = {{"left", CreepDirection::LeftToRight},
                                                            {"right", CreepDirection::RightToLeft},
                                                            {"down", CreepDirection::TopToBottom},
                                                            {"up", CreepDirection::BottomToTop}};
    for (const auto& [name, direction] : names)
        if (text == name) {
            d = direction;
            return true;
        }
    return false;
}

int wrong(const char* why)
{
    std::cerr << "pelko-cli: text: " << why << '\n';
    return usage("text");
}

int runText(const Args& given)
{
    Args args = given;
    if (const int rc = takeCacheOption(args, "text"))
        return rc;
    CreepingLineSettings s;
    std::string v, area, start;
    const bool hasText = takeOption(args, "--text", s.text);
    const bool quiet = takeFlag(args, "--quiet");
    if (takeOption(args, "--direction", v) && !parseDirection(v, s.direction))
        return wrong("--direction takes left, right, down or up");
    if (takeOption(args, "--count", v) && !parseNumber(v, kMinCreepCount, kMaxCreepCount, s.count))
        return wrong("--count takes 1 to 1000");
    if (takeOption(args, "--time", v) && !parseNumber(v, kMinCreepDuration, kMaxCreepDuration, s.duration))
        return wrong("--time takes 20 to 100000 ms");
    if (takeOption(args, "--font", v) && !parseFont(v, s.font))
        return wrong("--font takes FAMILY,SIZE[,bold][,italic] with a size of 1 to 1000");
    if (takeOption(args, "--color", v) && !parseColor(v, s.font.color))
        return wrong("--color takes a colour RRGGBB");
    if (takeOption(args, "--background", v) && !parseColor(v, s.background))
        return wrong("--background takes a colour RRGGBB");
    std::vector<int> areaValues, startValues;
    if (takeOption(args, "--area", area) &&
        (!parseNumbers(area, 4, areaValues) || !areaValues[2] || !areaValues[3]))
        return wrong("--area takes LEFT,TOP,WIDTH,HEIGHT with a width and height of 1 or more");
    if (takeOption(args, "--start", start) && !parseNumbers(start, 2, startValues))
        return wrong("--start takes X,Y");
    if (!hasText)
        return wrong("--text is needed (it may be empty)");
    if (args.size() != 2)
        return usage("text");
    for (const std::string& a : args)
        if (a.rfind("--", 0) == 0)
            return usage("text");

    Project project;
    CliSourceReader reader;
    if (const int rc = openAtFrame(project, args[0], args[1], reader, "text"))
        return rc;
    const ProjectSettings& p = project.settings;
    s.width = p.Width;
    s.height = p.Height;
    if (!areaValues.empty()) {
        s.frameLeft = areaValues[0];
        s.frameTop = areaValues[1];
        s.width = areaValues[2];
        s.height = areaValues[3];
        if (s.frameLeft + s.width > p.Width || s.frameTop + s.height > p.Height)
            return fail(args[0] + ": the area " + area + " does not lie on the " + std::to_string(p.Width) +
                        " x " + std::to_string(p.Height) + " canvas");
    }
    if (!startValues.empty()) {
        s.startLeft = startValues[0];
        s.startTop = startValues[1];
        if (s.startLeft > s.width || s.startTop > s.height)
            return fail(args[0] + ": the start " + start + " lies outside the " + std::to_string(s.width) +
                        " x " + std::to_string(s.height) + " area");
    }
    const std::string work = workFolderOrFail(kTextWorkFolderError);
    if (work.empty())
        return kExitFailed;
    const std::unique_ptr<QGuiApplication> app = headlessTextApplication();
    QtTextDrawer drawer;
    TerminalProgress progress("text", s.count, quiet);
    const GeneratedFrames made = addCreepingLineFrames(project, s, work, drawer, reader, progress);
    progress.finish();
    return saveWithNewFrames(project, made);
}

}  // namespace

PELKO_CLI_COMMAND("text",
                  "PROJECT.mcp N --text T [--direction left|right|down|up] [--count n] [--time MS] "
                  "[--font FAMILY,SIZE[,bold][,italic]] [--color RRGGBB] [--background RRGGBB] "
                  "[--area L,T,W,H] [--start X,Y] [--cache-mb N] [--quiet]",
                  "put frames of a creeping line after frame N (appended when N is the last); prints the "
                  "GIF written into the work folder and saves the project",
                  runText, optionHelp({kTextHelp, kCacheOptionHelp, kQuietOptionHelp}));

}  // namespace pelko::cli
