// pelko-cli make OUTPUT PICTURE...: pictures straight to an animated GIF or
// an AVI, through a project built in memory as Add would build it.

#include "cli/cache_option.h"
#include "cli/command.h"
#include "cli/output_options.h"
#include "cli/picture_input.h"
#include "cli/project_args.h"
#include "cli/terminal_progress.h"

namespace pelko::cli {
namespace {

int runMake(const Args& given)
{
    Args args = given;
    if (const int rc = takeCacheOption(args, "make"))
        return rc;
    if (args.empty())
        return usage("make");
    const OutputKind kind = outputKindArg(args[0], OutputKinds::All);
    if (kind == OutputKind::None)
        return kExitFailed;
    // every output but the AVI keeps each frame's own time
    ProjectOptions po;
    if (const int rc = takeProjectArgs(args, kind == OutputKind::Avi ? ProjectAvi : ProjectGif, po))
        return rc;
    OutputOptions oo;
    if (const int rc = takeOutputOptions(args, oo, true, "make"))
        return rc;
    if (args.size() < 2)
        return usage("make");
    for (const std::string& a : args)
        if (a.rfind("--", 0) == 0)
            return usage("make");
    // Everything that can be wrong with the arguments is found before the
    // first picture is read, and nothing is written unless every picture is.
    const std::vector<std::string> pictures(args.begin() + 1, args.end());
    if (const int rc = checkOutputArgs(args[0], oo, "make"))
        return rc;
    if (!checkPictureArgs(pictures))
        return kExitFailed;

    Project project;
    {
        TerminalProgress progress("make: reading pictures", 0, oo.quiet);
        const int rc = buildProject(project, po, pictures, progress);
        progress.finish();
        if (rc)
            return rc;
    }
    if (oo.frameSettings)
        for (FrameRecord& f : project.frames) f.Gif = *oo.frameSettings;
    return writeOutput(project, args[0], oo);
}

}  // namespace

PELKO_CLI_COMMAND(
    "make",
    "OUTPUT.gif|.avi|.webp|.apng|.mp4|.webm PICTURE... [--size WxH] [--stretch] [--time MS] "
    "[--reduction NAME] [--dither NAME] [--colors 8..256] [--rle] [--transparent RRGGBB] [--loops N] "
    "[--optimize] [--merge] [--crop] [--interlaced] [--lossy 0..100] [--palette octree|best] "
    "[--codec NAME] [--quality Q] [--lossless] [--minimize] [--keyframes N] [--crf N] "
    "[--preset NAME] [--max-size SIZE] [--wav FILE] [--jobs N] [--cache-mb N] [--quiet]",
    "make an animated GIF, an AVI, an animated WebP or PNG, an MP4 or a WebM video from pictures, "
    "frame settings applied to every frame",
    runMake,
    optionHelp({kProjectArgsHelp, kFrameSettingsHelp, kGifOutputHelp, kNewOutputHelp, kAviOutputHelp,
                kCacheOptionHelp, kQuietOptionHelp}));

}  // namespace pelko::cli
