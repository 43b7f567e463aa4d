// Fuzz target: the PNG reader. A file that loads must also save and load again.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/png/png_object.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pelko::TPNGObject png;
    try {
        png.LoadFromStream(data, size);
    } catch (const std::runtime_error&) {
        return 0;  // every PNG exception class is a runtime_error
    }
    pelko::PngBitmap bitmap;
    png.AssignTo(bitmap);
    std::vector<std::uint8_t> saved;
    png.SaveToStream(saved);
    pelko::TPNGObject again;
    again.LoadFromStream(saved.data(), saved.size());
    if (again.Width() != png.Width() || again.Height() != png.Height())
        std::abort();
    return 0;
}
