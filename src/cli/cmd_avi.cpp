// pelko-cli wav-info FILE.wav: a WAV file's playing time as the sound dialogs
// show it, its format, and whether its samples can go into an AVI.

#include <iostream>

#include "cli/command.h"
#include "engine/avi/riff.h"
#include "engine/avi/wav.h"

namespace pelko::cli {
namespace {

int runWavInfo(const Args& args)
{
    if (args.size() != 1)
        return usage("wav-info");
    const WavDuration duration = WavDurationMs(args[0]);
    if (duration.ms == -1 && !duration.message.empty())
        return fail(duration.message);
    FileRiffSource src(args[0]);
    WavLayout layout;
    if (!readWavLayout(src, layout))
        return fail("MMIO Error. Error Code: " + std::to_string(kMmioErrChunkNotFound));
    const WaveFormat& f = layout.format;
    std::cout << "file: " << args[0] << '\n'
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
    return kExitOk;
}

}  // namespace

PELKO_CLI_COMMAND("wav-info", "FILE.wav", "print a WAV file's playing time and format", runWavInfo);

}  // namespace pelko::cli
