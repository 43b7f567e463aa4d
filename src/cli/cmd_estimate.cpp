// pelko-cli estimate PROJECT.mcp: the size of the project's file in every
// animation and video format, estimated from a few runs of its frames.

#include <sys/stat.h>

#include <cerrno>
#include <iostream>

#include "cli/cache_option.h"
#include "cli/command.h"
#include "cli/picture_input.h"
#include "engine/base/output_file.h"
#include "engine/output/size_estimate.h"
#include "engine/project/project_file.h"

namespace pelko::cli {
namespace {

int runEstimate(const Args& given)
{
    Args args = given;
    if (const int rc = takeCacheOption(args, "estimate"))
        return rc;
    if (args.size() != 1 || args[0].rfind("--", 0) == 0)
        return usage("estimate");
    const std::string& in = args[0];
    struct stat st {};
    if (::stat(in.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return fail(systemErrorText(in, S_ISDIR(st.st_mode) ? EISDIR : errno));
    Project project;
    CliSourceReader reader;
    const OpenResult opened = openProjectFile(project, in, reader, DefaultFrameSize{});
    for (const std::string& e : opened.errors) std::cerr << "pelko-cli: " << e << '\n';
    if (!opened.errors.empty() || project.changed)
        return fail(in + ": not every frame of the project could be read");
    if (project.frames.empty())
        return fail(in + ": the project has no frames");
    EstimateOptions options;
    options.gif = gifOptionsOf(project.settings, 0);
    std::vector<SizeEstimate> estimates;
    try {
        estimates = estimateOutputSizes(
            project, {OutputKind::Gif, OutputKind::WebP, OutputKind::Apng, OutputKind::Mp4, OutputKind::WebM},
            options);
    } catch (const std::exception& e) {
        return fail(in + ": " + e.what());
    }
    std::cout << estimateLine(estimates) << '\n';
    for (const SizeEstimate& e : estimates)
        std::cout << (outputExtension(e.kind) + 1) << ' ' << e.bytes << '\n';
    return kExitOk;
}

}  // namespace

PELKO_CLI_COMMAND("estimate", "PROJECT.mcp [--cache-mb N]",
                  "estimate the size of the project's GIF, WebP, APNG, MP4 and WebM (with the project's GIF "
                  "options and each format's defaults), then each size in bytes on a line of its own",
                  runEstimate, optionHelp({kCacheOptionHelp}));

}  // namespace pelko::cli
