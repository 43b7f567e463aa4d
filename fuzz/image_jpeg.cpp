// Fuzz target: JPEG decoding through libjpeg. Damaged files must fail with
// JpegError only, and the header read must agree with the decoder on every
// file it decodes.

#include <cstdint>
#include <cstdlib>

#include "engine/image/jpeg_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pelko::PictureSize header;
    bool haveHeader = true;
    try {
        header = pelko::jpegPictureSize(data, size);
    } catch (const pelko::JpegError&) {
        haveHeader = false;
    }
    try {
        const pelko::Picture picture = pelko::decodeJpeg(data, size);
        if (!haveHeader || header.width != picture.width() || header.height != picture.height())
            std::abort();
    } catch (const pelko::JpegError&) {
    }
    return 0;
}
