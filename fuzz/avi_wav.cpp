// Fuzz target: the WAV reader. Each input is measured, its layout read, and
// its samples handed to an AVI writer that is then dropped unfinished.

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/avi/avi_writer.h"
#include "engine/avi/wav.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pelko;
    MemoryRiffSource src({data, size});
    // A playing time, or -1 with a reason and a message: never one without
    // the other.
    const WavDuration d = wavDuration(src);
    if (d.ms < -1 || (d.ms == -1) != !d.reason.empty() || (d.ms == -1) == d.message.empty())
        std::abort();

    WavLayout layout;
    std::string reason;
    if (readWavLayout(src, layout, &reason)) {
        if (layout.dataOffset > size || layout.dataAvailable > size - layout.dataOffset ||
            layout.dataAvailable > layout.dataSize)
            std::abort();
        // A PCM duration counts only the samples present (a 'fact' chunk
        // may give an extensible file's time instead).
        const auto riff = findChunk(src, 0, size, fourCC("RIFF"));
        const bool fact = riff && findChunk(src, riff->contentOffset(), riff->dataEnd(), fourCC("fact"));
        const WaveFormat& f = layout.format;
        if (d.ms > 0 && !fact && f.formatTag == kWaveFormatPcm && f.bitsPerSample && f.channels &&
            f.samplesPerSec &&
            std::uint64_t(d.ms) >
                layout.dataAvailable * 8000 / (std::uint64_t(f.bitsPerSample) * f.channels * f.samplesPerSec))
            std::abort();
    } else if (reason.empty()) {
        std::abort();
    }

    static const std::string target = "/tmp/pelko-fuzz-wav-" + std::to_string(::getpid()) + ".avi";
    AviWriterPtr w = OpenAviWriter(target, 40);
    if (w) {
        const AviResult r =
            WriteWavSound(w.get(), data ? data : reinterpret_cast<const std::uint8_t*>(""), SND_MEMORY, size);
        if (r != AVIERR_OK && r != AVIERR_BADFORMAT)
            std::abort();
    }
    return 0;
}
