// pelko-cli new PROJECT.mcp PICTURE...: a project built as Add would build it.

#include <iostream>

#include "cli/cache_option.h"
#include "cli/command.h"
#include "cli/picture_input.h"
#include "cli/project_args.h"
#include "cli/terminal_progress.h"
#include "engine/project/project_file.h"

namespace pelko::cli {
namespace {

constexpr OptionHelp kNewTypeHelp[] = {
    {"--type TYPE", "the project's type, one of: gif, avi (default gif)"},
};

int runNew(const Args& given)
{
    Args args = given;
    if (const int rc = takeCacheOption(args, "new"))
        return rc;
    std::string type = "gif";
    takeOption(args, "--type", type);
    const bool quiet = takeFlag(args, "--quiet");
    if (type != "gif" && type != "avi")
        return usage("new");
    ProjectOptions o;
    if (const int rc = takeProjectArgs(args, type == "gif" ? ProjectGif : ProjectAvi, o))
        return rc;
    if (args.size() < 2)
        return usage("new");
    for (const std::string& a : args)
        if (a.rfind("--", 0) == 0)
            return usage("new");

    const std::string& out = args[0];
    const std::vector<std::string> pictures(args.begin() + 1, args.end());
    if (!checkOutputPath(out) || !checkPictureArgs(pictures))
        return kExitFailed;

    Project project;
    {
        TerminalProgress progress("new: reading pictures", 0, quiet);
        const int rc = buildProject(project, o, pictures, progress);
        progress.finish();
        if (rc)
            return rc;
    }
    try {
        saveProjectFile(project, out);
    } catch (const std::exception& e) {
        const std::string what = e.what();
        return fail(what.rfind(out, 0) == 0 ? what : out + ": " + what);
    }
    std::cout << out << ": " << project.frames.count() << " frames, " << project.settings.Width << " x "
              << project.settings.Height << ", " << typeText(project.settings.Type) << '\n';
    return kExitOk;
}

}  // namespace

PELKO_CLI_COMMAND(
    "new",
    "PROJECT.mcp PICTURE... [--type gif|avi] [--size WxH] [--stretch] [--time MS] [--cache-mb N] [--quiet]",
    "write a project made from pictures as Add makes it (canvas from the first frame unless --size)", runNew,
    optionHelp({kNewTypeHelp, kProjectArgsHelp, kCacheOptionHelp, kQuietOptionHelp}));

}  // namespace pelko::cli
