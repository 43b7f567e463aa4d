// pelko-cli generate PROJECT.mcp OUTPUT: what the Generate command does,
// with its dialogs switched off.

#include <sys/stat.h>

#include <cerrno>
#include <iostream>

#include "cli/cache_option.h"
#include "cli/command.h"
#include "cli/output_options.h"
#include "cli/picture_input.h"
#include "cli/terminal_progress.h"
#include "engine/base/output_file.h"
#include "engine/project/project_file.h"

namespace pelko::cli {
namespace {

int runGenerate(const Args& given)
{
    Args args = given;
    if (const int rc = takeCacheOption(args, "generate"))
        return rc;
    OutputOptions oo;
    if (const int rc = takeOutputOptions(args, oo, false, "generate"))
        return rc;
    if (args.size() != 2)
        return usage("generate");
    for (const std::string& a : args)
        if (a.rfind("--", 0) == 0)
            return usage("generate");
    const std::string& in = args[0];
    const std::string& out = args[1];
    if (const int rc = checkOutputArgs(out, oo, "generate"))
        return rc;
    struct stat st {};
    if (::stat(in.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return fail(systemErrorText(in, S_ISDIR(st.st_mode) ? EISDIR : errno));
    Project project;
    CliSourceReader reader;
    const OpenResult opened = openProjectFile(project, in, reader, DefaultFrameSize{});
    for (const std::string& e : opened.errors) std::cerr << "pelko-cli: " << e << '\n';
    const std::string soundGone = "Not found the following sound file: ";
    for (const std::string& line : project.log.lines()) {
        std::cerr << "pelko-cli: " << in << ": " << line << '\n';
        // Opening drops a sound file that is not there; the AVI goes on
        // without it, as it does for a --wav that cannot be used.
        if (line.rfind(soundGone, 0) == 0 && oo.wav.empty() && oo.soundDropped.empty())
            oo.soundDropped = line.substr(soundGone.size()) + ": No such file or directory";
    }
    // A frame that could not be read would be missing from the output.
    if (!opened.errors.empty() || project.changed)
        return fail(in + ": not every frame of the project could be read; nothing written");
    if (project.frames.empty())
        return fail(in + ": the project has no frames");
    const OutputKind kind = outputKindOf(out);
    if (kind != OutputKind::Avi && kind != OutputKind::Mp4 && kind != OutputKind::WebM)
        oo.soundDropped.clear();  // an animation has no sound to lose
    // without options of its own, the GIF takes the project's stored ones
    if (!oo.gifOptionsGiven) {
        const AnimatedGifOptions given = oo.gif;
        oo.gif = gifOptionsOf(project.settings, given.loops);
        oo.gif.lossy = given.lossy;
        oo.gif.bestPalette = given.bestPalette;
    }
    // the smaller-file mode, when not given, is the project's own
    if (!oo.lossyGiven)
        oo.gif.lossy = project.settings.Lossy;
    if (!oo.paletteGiven)
        oo.gif.bestPalette = project.settings.BestPalette;
    // the project's own sound is looked at by the AVI's generation
    return writeOutput(project, out, oo);
}

}  // namespace

PELKO_CLI_COMMAND(
    "generate",
    "PROJECT.mcp OUTPUT.gif|.avi|.webp|.apng|.mp4|.webm [--loops N] [--optimize] [--merge] [--crop] "
    "[--interlaced] [--lossy 0..100] [--palette octree|best] [--codec NAME] [--quality Q] [--lossless] "
    "[--minimize] [--keyframes N] [--crf N] [--preset NAME] [--max-size SIZE] [--wav FILE] [--jobs N] "
    "[--cache-mb N] [--quiet]",
    "write a project's animated GIF, AVI, animated WebP or PNG, MP4 or WebM (without GIF options, the "
    "project's own are used; the AVI and the videos take the project's sound unless --wav is given)",
    runGenerate,
    optionHelp({kGifOutputHelp, kNewOutputHelp, kAviOutputHelp, kCacheOptionHelp, kQuietOptionHelp}));

}  // namespace pelko::cli
