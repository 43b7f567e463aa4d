// Fuzz target: the PNG reader. Each input is read twice: as it is, and with
// every chunk CRC made right, so that mutations get past the CRC checks into
// the chunk and image data decoding. A file that loads must also save and
// load again, and its header-only read must agree with it.

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/png/png_object.h"

namespace {

void repairCrcs(std::vector<std::uint8_t>& f)
{
    std::size_t pos = 8;
    while (pos + 12 <= f.size()) {
        const std::uint32_t len = std::uint32_t(f[pos]) << 24 | std::uint32_t(f[pos + 1]) << 16 |
                                  std::uint32_t(f[pos + 2]) << 8 | f[pos + 3];
        if (len > f.size() - pos - 12)
            break;
        const std::uint32_t crc = std::uint32_t(crc32(0, f.data() + pos + 4, uInt(len + 4)));
        std::uint8_t* c = f.data() + pos + 8 + len;
        c[0] = std::uint8_t(crc >> 24);
        c[1] = std::uint8_t(crc >> 16);
        c[2] = std::uint8_t(crc >> 8);
        c[3] = std::uint8_t(crc);
        pos += 12 + len;
    }
}

void readOne(const std::uint8_t* data, std::size_t size)
{
    pelko::TPNGObject header;
    bool haveHeader = true;
    try {
        header.LoadHeaderFromStream(data, size);
    } catch (const std::runtime_error&) {
        haveHeader = false;
    }
    pelko::TPNGObject png;
    try {
        png.LoadFromStream(data, size);
    } catch (const std::runtime_error&) {
        return;  // every PNG exception class is a runtime_error
    }
    // What loads whole has a header read that agrees with it.
    if (!haveHeader || header.Width() != png.Width() || header.Height() != png.Height() ||
        header.chunkCount() != png.chunkCount() || header.TransparentColor() != png.TransparentColor())
        std::abort();
    pelko::PngBitmap bitmap;
    png.AssignTo(bitmap);
    std::vector<std::uint8_t> saved;
    png.SaveToStream(saved);
    pelko::TPNGObject again;
    again.LoadFromStream(saved.data(), saved.size());
    if (again.Width() != png.Width() || again.Height() != png.Height())
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    readOne(data, size);
    std::vector<std::uint8_t> repaired(data, data + size);
    repairCrcs(repaired);
    readOne(repaired.data(), repaired.size());
    return 0;
}
