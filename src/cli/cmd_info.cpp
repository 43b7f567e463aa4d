// pelko-cli info FILE: what a picture or GIF file holds.

#include "cli/cache_option.h"
#include "cli/command.h"
#include "cli/info.h"
#include "engine/image/file_kind.h"

namespace pelko::cli {
namespace {

int runInfo(const Args& given)
{
    Args args = given;
    if (const int rc = takeCacheOption(args, "info"))
        return rc;
    if (args.size() != 1)
        return usage("info");
    if (hasExtension(args[0], ".mcp"))
        return infoProject(args[0]);
    if (hasExtension(args[0], ".gif"))
        return infoGif(args[0]);
    return infoStill(args[0]);
}

}  // namespace

PELKO_CLI_COMMAND(
    "info", "FILE [--cache-mb N]",
    "print a project's settings and frames, a GIF file's structure, or a picture's size and kind", runInfo,
    optionHelp({kCacheOptionHelp}));

}  // namespace pelko::cli
