// Fuzz target: the ICO reader (bitmap and PNG entries). Damaged files must
// fail with IcoError only.

#include <cstdint>

#include "engine/image/ico_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        pelko::decodeIco(data, size);
    } catch (const pelko::IcoError&) {
    }
    return 0;
}
