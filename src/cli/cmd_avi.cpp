// pelko-cli wav-info FILE.wav: a WAV file's playing time as the sound dialogs
// show it, its format, and whether its samples can go into an AVI.

#include <iostream>

#include "cli/command.h"
#include "engine/avi/riff.h"
#include "engine/avi/wav.h"
#include "engine/base/output_file.h"

namespace pelko::cli {
namespace {

int runWavInfo(const Args& args)
{
    if (args.size() != 1)
        return usage("wav-info");
    const std::string& path = args[0];
    const WavDuration duration = WavDurationMs(path);
    if (duration.ms < 0)
        return fail(path + ": " + duration.reason);
    FileRiffSource src(path);
    WavLayout layout;
    std::string reason;
    if (!src.isOpen())
        return fail(systemErrorText(path, src.openError()));
    if (!readWavLayout(src, layout, &reason))
        return fail(path + ": " + reason);
    const WaveFormat& f = layout.format;
    std::cout << "file: " << path << '\n'
              << "duration: " << duration.ms << " ms\n"
              << "format tag: " << f.formatTag << '\n'
              << "channels: " << f.channels << '\n'
              << "samples per second: " << f.samplesPerSec << '\n'
              << "average bytes per second: " << f.avgBytesPerSec << '\n'
              << "block align: " << f.blockAlign << '\n'
              << "bits per sample: " << f.bitsPerSample << '\n'
              << "data offset: " << layout.dataOffset << '\n'
              << "data size: " << layout.dataSize << '\n'
              << "data present: " << layout.dataAvailable << '\n'
              << "usable in AVI: " << (isUsablePcm(f) ? "yes" : "no") << '\n';
    if (!isUsablePcm(f))
        std::cout << "not usable because: " << pcmProblem(f) << '\n';
    return kExitOk;
}

}  // namespace

PELKO_CLI_COMMAND("wav-info", "FILE.wav", "print a WAV file's playing time and format", runWavInfo);

}  // namespace pelko::cli
