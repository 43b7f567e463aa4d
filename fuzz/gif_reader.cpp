// Fuzz target for the GIF reader: any bytes must either load or raise
// GIFException, and whatever loaded must write back (with LZW or RLE) and
// read again to the same pixels. A file that loads must also load without
// its pixels, to the same frames and warnings.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"

using namespace pelko;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Smaller limits keep each run fast; the checks are the same.
    GIFImageMaxFramePixels = 1 << 22;
    GIFImageMaxTotalPixels = 1 << 24;
    TGIFImage image;
    int warnings = 0;
    image.OnWarning = [&](const void*, TGIFSeverity, const std::string&) { ++warnings; };
    bool loaded = true;
    try {
        image.LoadFromBytes(data, size);
    } catch (const GIFException&) {
        // Frames read before the error stay and are written below.
        loaded = false;
    }
    // The read without pixels sees the same frames and warnings.
    TGIFImage structure;
    structure.SetReadPixels(false);
    int structureWarnings = 0;
    structure.OnWarning = [&](const void*, TGIFSeverity, const std::string&) { ++structureWarnings; };
    try {
        structure.LoadFromBytes(data, size);
        if (loaded &&
            (structure.Images().GetCount() != image.Images().GetCount() || structureWarnings != warnings))
            std::abort();
    } catch (const GIFException&) {
        if (loaded)
            std::abort();
    }
    if (image.GetEmpty())
        return 0;
    // Walk every frame's pixels and maps the way the program does.
    for (const auto& frame : image.Images()) {
        const TGIFColorMap& map = frame->GetActiveColorMap();
        if (!frame->GetEmpty() && map.GetCount() > 0)
            (void)map.Entry(frame->Data().front() % map.GetCount());
    }
    image.SetCompression(size % 2 ? gcRLE : gcLZW);
    std::vector<std::uint8_t> out;
    try {
        out = image.SaveToBytes();
    } catch (const GIFException&) {
        // Pixels beyond the colour table cannot be written: "Color not in color table".
        return 0;
    }
    TGIFImage again;
    again.LoadFromBytes(out.data(), out.size());
    std::vector<const TGIFSubImage*> before, after;
    for (const auto& f : image.Images())
        if (!f->GetEmpty())
            before.push_back(f.get());
    for (const auto& f : again.Images())
        if (!f->GetEmpty())
            after.push_back(f.get());
    if (before.size() != after.size())
        std::abort();
    for (std::size_t i = 0; i < before.size(); ++i)
        if (before[i]->Data() != after[i]->Data() || before[i]->GetWidth() != after[i]->GetWidth())
            std::abort();
    return 0;
}
