// Fuzz target: the ICO reader (bitmap and PNG entries). Damaged files must
// fail with IcoError only, in the decoder and in the header read.

#include <cstdint>

#include "engine/image/ico_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        pelko::icoPictureSize(data, size);
    } catch (const pelko::IcoError&) {
    }
    try {
        pelko::decodeIco(data, size);
    } catch (const pelko::IcoError&) {
    }
    return 0;
}
