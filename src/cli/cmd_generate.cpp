// pelko-cli generate PROJECT.mcp OUTPUT: what the Generate command does,
// with its dialogs switched off.

#include <filesystem>
#include <iostream>

#include "cli/command.h"
#include "cli/output_options.h"
#include "engine/project/project_file.h"

namespace pelko::cli {
namespace {

int runGenerate(const Args& given)
{
    Args args = given;
    OutputOptions oo;
    if (const int rc = takeOutputOptions(args, oo, false, "generate"))
        return rc;
    if (args.size() != 2)
        return usage("generate");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(args[0], ec))
        return fail("Not found file: " + args[0]);
    Project project;
    auto reader = makeFileSourceReader();
    const OpenResult opened = openProjectFile(project, args[0], *reader, DefaultFrameSize{});
    for (const std::string& e : opened.errors) std::cerr << "pelko-cli: " << e << '\n';
    for (const std::string& line : project.log.lines()) std::cerr << "pelko-cli: " << line << '\n';
    if (project.frames.empty())
        return fail("the project has no frames: " + args[0]);
    // without options of its own, the GIF takes the project's stored ones
    if (!oo.gifOptionsGiven) {
        const std::uint16_t loops = oo.gif.loops;
        oo.gif = gifOptionsOf(project.settings, loops);
    }
    if (oo.wav.empty() && project.settings.Sound)
        oo.wav = project.settings.Wav_File;
    return writeOutput(project, args[1], oo);
}

}  // namespace

PELKO_CLI_COMMAND(
    "generate",
    "PROJECT.mcp OUTPUT.gif|OUTPUT.avi [--loops N] [--optimize] [--merge] [--crop] [--interlaced] "
    "[--codec NAME] [--quality Q] [--wav FILE] [--jobs N]",
    "write a project's animated GIF or AVI (GIF options default to the project's own)", runGenerate);

}  // namespace pelko::cli
