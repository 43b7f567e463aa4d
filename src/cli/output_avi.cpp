// The AVI half of "make" and "generate".

#include <algorithm>
#include <cctype>
#include <iostream>

#include "cli/output_options.h"
#include "cli/terminal_progress.h"
#include "engine/output/generate_avi.h"

namespace pelko::cli {
namespace {

// "dib", "divx", "H264", ... as the codec's four-character code; a longer
// name is none (not its first four letters).
const VideoCodecInfo* codecByName(std::string name)
{
    if (name.empty() || name.size() > 4)
        return nullptr;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    name.resize(4, ' ');
    return findVideoCodec(name);
}

}  // namespace

bool knownCodec(const std::string& name)
{
    if (codecByName(name))
        return true;
    std::cerr << "pelko-cli: --codec is one of:";
    for (const VideoCodecInfo& c : availableVideoCodecs()) {
        std::string shown = c.fourcc;
        while (!shown.empty() && shown.back() == ' ') shown.pop_back();
        std::cerr << ' ' << shown;
    }
    std::cerr << '\n';
    return false;
}

int writeAviOutput(const Project& project, const std::string& path, const OutputOptions& options)
{
    const VideoCodecInfo* codec = codecByName(options.codec);
    if (!codec)
        return knownCodec(options.codec) ? kExitFailed : kExitUsage;
    AviGenerateOptions o;
    o.showCodecWindow = false;
    o.compress.fourcc = codec->fourcc;
    o.compress.quality = options.quality;
    o.soundFile = options.wav;
    o.withoutSound = !options.soundDropped.empty();
    TerminalProgress progress(options.progressLabel, project.frames.count(), options.quiet);
    const OutputResult result = generateAviFile(project, path, o, progress);
    progress.finish();
    if (!result.ok)
        return fail(result.failure);
    const std::string& dropped = options.soundDropped.empty() ? result.soundDropped : options.soundDropped;
    if (!dropped.empty()) {
        std::cerr << "pelko-cli: " << dropped << " — written without sound\n";
        return kExitWithoutSound;
    }
    return kExitOk;
}

}  // namespace pelko::cli
