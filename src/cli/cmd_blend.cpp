// pelko-cli blend PROJECT.mcp N: what "Adding frames with Alpha blending"
// does with frame N as the anchor.

#include <iostream>

#include "cli/cache_option.h"
#include "cli/command.h"
#include "cli/effect_args.h"
#include "cli/picture_input.h"
#include "cli/terminal_progress.h"
#include "engine/effects/alpha_blend.h"

namespace pelko::cli {
namespace {

constexpr OptionHelp kBlendHelp[] = {
    {"--count n", "pictures of the fade, 2 to 255 (default 5)"},
    {"--time MS", "the time of each picture, 20 to 100000 ms (default 300)"},
    {"--hide", "frame N fades out (its share runs down from full) instead of in"},
    {"--background RRGGBB", "the colour faded from when N is the first frame (default FFFFFF, white)"},
};

int runBlend(const Args& given)
{
    Args args = given;
    if (const int rc = takeCacheOption(args, "blend"))
        return rc;
    AlphaBlendSettings settings;
    std::string v;
    if (takeOption(args, "--count", v) && !parseNumber(v, kMinBlendCount, kMaxBlendCount, settings.count)) {
        std::cerr << "pelko-cli: blend: --count takes " << kMinBlendCount << " to " << kMaxBlendCount << '\n';
        return usage("blend");
    }
    if (takeOption(args, "--time", v) && !parseNumber(v, kMinBlendTime, kMaxBlendTime, settings.time)) {
        std::cerr << "pelko-cli: blend: --time takes " << kMinBlendTime << " to " << kMaxBlendTime << " ms\n";
        return usage("blend");
    }
    if (takeOption(args, "--background", v) && !parseColor(v, settings.background)) {
        std::cerr << "pelko-cli: blend: --background takes a colour RRGGBB\n";
        return usage("blend");
    }
    settings.hideUp = takeFlag(args, "--hide");
    const bool quiet = takeFlag(args, "--quiet");
    if (args.size() != 2)
        return usage("blend");
    for (const std::string& a : args)
        if (a.rfind("--", 0) == 0)
            return usage("blend");

    Project project;
    CliSourceReader reader;
    if (const int rc = openAtFrame(project, args[0], args[1], reader, "blend"))
        return rc;
    const std::string work = workFolderOrFail(kBlendWorkFolderError);
    if (work.empty())
        return kExitFailed;
    TerminalProgress progress("blend", settings.count, quiet);
    const GeneratedFrames made = addAlphaBlendFrames(project, settings, work, reader, progress);
    progress.finish();
    return saveWithNewFrames(project, made);
}

}  // namespace

PELKO_CLI_COMMAND(
    "blend", "PROJECT.mcp N [--count n] [--time MS] [--hide] [--background RRGGBB] [--cache-mb N] [--quiet]",
    "insert a fade from frame N-1 (or the background) to frame N after frame N; prints the "
    "GIF written into the work folder and saves the project",
    runBlend, optionHelp({kBlendHelp, kCacheOptionHelp, kQuietOptionHelp}));

}  // namespace pelko::cli
