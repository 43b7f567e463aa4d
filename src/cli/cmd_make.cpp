// pelko-cli make OUTPUT PICTURE...: pictures straight to an animated GIF or
// an AVI, through a project built in memory as Add would build it.

#include "cli/command.h"
#include "cli/output_options.h"
#include "cli/project_args.h"
#include "engine/image/file_kind.h"

namespace pelko::cli {
namespace {

int runMake(const Args& given)
{
    Args args = given;
    if (args.empty())
        return usage("make");
    const bool gif = hasExtension(args[0], ".gif");
    if (!gif && !hasExtension(args[0], ".avi"))
        return fail("the output must end in .gif or .avi: " + args[0]);
    ProjectOptions po;
    if (const int rc = takeProjectArgs(args, gif ? ProjectGif : ProjectAvi, po))
        return rc;
    OutputOptions oo;
    if (const int rc = takeOutputOptions(args, oo, true, "make"))
        return rc;
    if (args.size() < 2)
        return usage("make");
    for (const std::string& a : args)
        if (a.rfind("--", 0) == 0)
            return usage("make");

    Project project;
    bool hadErrors = false;
    if (const int rc = buildProject(project, po, {args.begin() + 1, args.end()}, hadErrors))
        return rc;
    if (oo.frameSettings)
        for (FrameRecord& f : project.frames) f.Gif = *oo.frameSettings;
    const int rc = writeOutput(project, args[0], oo);
    return rc != kExitOk ? rc : (hadErrors ? kExitFailed : kExitOk);
}

}  // namespace

PELKO_CLI_COMMAND("make",
                  "OUTPUT.gif|OUTPUT.avi PICTURE... [--size WxH] [--stretch] [--time MS] [--reduction NAME] "
                  "[--dither NAME] [--colors 8..256] [--rle] [--transparent RRGGBB] [--loops N] [--optimize] "
                  "[--merge] [--crop] [--interlaced] [--codec NAME] [--quality Q] [--wav FILE] [--jobs N]",
                  "make an animated GIF or an AVI from pictures, frame settings applied to every frame",
                  runMake);

}  // namespace pelko::cli
