// Fuzz target: JPEG decoding through libjpeg. Damaged files must fail with
// JpegError only.

#include <cstdint>

#include "engine/image/jpeg_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        pelko::decodeJpeg(data, size);
    } catch (const pelko::JpegError&) {
    }
    return 0;
}
