// The animated WebP and PNG halves of "make" and "generate".

#include "cli/output_options.h"
#include "cli/terminal_progress.h"
#include "engine/output/size_budget.h"

namespace pelko::cli {

int writeWebpOutput(const Project& project, const std::string& path, const OutputOptions& options)
{
    WebpOptions webp = options.webp;
    webp.loops = options.gif.loops;
    webp.jobs = options.jobs;
    TerminalProgress progress(options.progressLabel, project.frames.count(), options.quiet);
    const OutputResult result = options.maxBytes > 0
                                    ? generateWebpUnderBudget(project, webp, options.maxBytes, path, progress)
                                    : generateWebpFile(project, webp, path, progress);
    progress.finish();
    return finishOutput(path, result);
}

int writeApngOutput(const Project& project, const std::string& path, const OutputOptions& options)
{
    ApngOptions apng;
    apng.loops = options.gif.loops;
    apng.jobs = options.jobs;
    TerminalProgress progress(options.progressLabel, project.frames.count(), options.quiet);
    const OutputResult result = generateApngFile(project, apng, path, progress);
    progress.finish();
    return finishOutput(path, result);
}

}  // namespace pelko::cli
