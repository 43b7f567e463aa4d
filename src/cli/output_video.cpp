// The MP4 and WebM halves of "make" and "generate".

#include <iostream>

#include "cli/output_options.h"
#include "cli/terminal_progress.h"
#include "engine/output/generate_video.h"

namespace pelko::cli {

int writeVideoOutput(const Project& project, const std::string& path, const OutputOptions& options)
{
    VideoFileOptions video;
    video.format = outputKindOf(path) == OutputKind::WebM ? VideoFormat::WebM : VideoFormat::Mp4;
    if (options.crf >= 0)
        video.crf = options.crf;
    if (!options.preset.empty())
        video.preset = options.preset;
    video.maxBytes = options.maxBytes;
    video.soundFile = options.wav;
    TerminalProgress progress(options.progressLabel, project.frames.count(), options.quiet);
    const OutputResult result = generateVideoFile(project, path, video, progress);
    progress.finish();
    if (result.ok && !result.soundDropped.empty()) {
        std::cerr << "pelko-cli: " << result.soundDropped << " — written without sound\n";
        finishOutput(path, result);
        return kExitWithoutSound;
    }
    return finishOutput(path, result);
}

}  // namespace pelko::cli
