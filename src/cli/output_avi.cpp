// The AVI half of "make" and "generate".

#include <algorithm>
#include <cctype>
#include <iostream>

#include "cli/output_options.h"
#include "engine/output/generate_avi.h"

namespace pelko::cli {
namespace {

// "dib", "divx", "H264", ... as the codec's four-character code.
const VideoCodecInfo* codecByName(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    name.resize(4, ' ');
    return findVideoCodec(name);
}

}  // namespace

int writeAviOutput(const Project& project, const std::string& path, const OutputOptions& options)
{
    const VideoCodecInfo* codec = codecByName(options.codec);
    if (!codec) {
        std::cerr << "pelko-cli: --codec is one of:";
        for (const VideoCodecInfo& c : availableVideoCodecs()) std::cerr << ' ' << c.fourcc;
        std::cerr << '\n';
        return usage("make");
    }
    AviGenerateOptions o;
    o.showCodecWindow = false;
    o.compress.fourcc = codec->fourcc;
    o.compress.quality = options.quality;
    o.soundFile = options.wav;
    std::vector<std::string> messages;
    const AviResult result = GenerateAvi(project, path, o, messages);
    for (const std::string& m : messages) std::cerr << "pelko-cli: " << m << '\n';
    return result == AVIERR_OK ? kExitOk : kExitFailed;
}

}  // namespace pelko::cli
