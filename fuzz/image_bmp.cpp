// Fuzz target: the BMP reader. Damaged files must fail with BmpError only.

#include <cstdint>

#include "engine/image/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        pelko::decodeBmp(data, size);
    } catch (const pelko::BmpError&) {
    }
    return 0;
}
