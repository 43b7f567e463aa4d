// pelko-cli new PROJECT.mcp PICTURE...: a project built as Add would build it.

#include <iostream>

#include "cli/command.h"
#include "cli/project_args.h"
#include "engine/project/project_file.h"

namespace pelko::cli {
namespace {

int runNew(const Args& given)
{
    Args args = given;
    std::string type = "gif";
    takeOption(args, "--type", type);
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

    Project project;
    bool hadErrors = false;
    if (const int rc = buildProject(project, o, {args.begin() + 1, args.end()}, hadErrors))
        return rc;
    saveProjectFile(project, args[0]);
    std::cout << args[0] << ": " << project.frames.count() << " frames, " << project.settings.Width << " x "
              << project.settings.Height << ", " << typeText(project.settings.Type) << '\n';
    return hadErrors ? kExitFailed : kExitOk;
}

}  // namespace

PELKO_CLI_COMMAND(
    "new", "PROJECT.mcp PICTURE... [--type gif|avi] [--size WxH] [--stretch] [--time MS]",
    "write a project made from pictures as Add makes it (canvas from the first frame unless --size)", runNew);

}  // namespace pelko::cli
