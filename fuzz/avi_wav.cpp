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
    const WavDuration d = wavDuration(src);
    if (d.ms == -1 && !d.message.empty() && d.caption != "MMIO Error")
        std::abort();

    WavLayout layout;
    if (readWavLayout(src, layout)) {
        if (layout.dataOffset > size || layout.dataAvailable > size - layout.dataOffset ||
            layout.dataAvailable > layout.dataSize)
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
