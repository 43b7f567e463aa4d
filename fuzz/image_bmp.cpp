// Fuzz target: the BMP reader. Damaged files must fail with BmpError only,
// and the header read must agree with the decoder on every file it decodes.

#include <cstdint>
#include <cstdlib>

#include "engine/image/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pelko::PictureSize header;
    bool haveHeader = true;
    try {
        header = pelko::bmpPictureSize(data, size);
    } catch (const pelko::BmpError&) {
        haveHeader = false;
    }
    try {
        const pelko::Picture picture = pelko::decodeBmp(data, size);
        if (!haveHeader || header.width != picture.width() || header.height != picture.height())
            std::abort();
    } catch (const pelko::BmpError&) {
    }
    return 0;
}
