#include "engine/project/source_reader.h"

#include <unordered_set>

namespace pelko {

Picture GifSourceFrame::toPicture() const
{
    if (empty)
        return {};
    Picture picture(rect.width, rect.height);
    static const GifColorTable kBlack{};
    const GifColorTable& table = colors ? *colors : kBlack;
    const std::size_t w = std::size_t(rect.width);
    for (int y = 0; y < picture.height(); ++y) {
        std::uint8_t* out = picture.row(y);
        const std::size_t rowStart = std::size_t(y) * w;
        for (std::size_t x = 0; x < w; ++x, out += 3) {
            const std::size_t at = rowStart + x;
            const Color c = table[at < indices.size() ? indices[at] : 0];
            out[0] = blueOf(c);
            out[1] = greenOf(c);
            out[2] = redOf(c);
        }
    }
    return picture;
}

std::size_t GifSourceFrame::byteSize() const
{
    return sizeof(GifSourceFrame) + indices.capacity();
}

std::size_t GifSource::byteSize() const
{
    std::size_t bytes = sizeof(GifSource);
    std::unordered_set<const GifColorTable*> tables;
    for (const GifSourceFrame& f : frames) {
        bytes += f.byteSize();
        if (f.colors && tables.insert(f.colors.get()).second)
            bytes += sizeof(GifColorTable);
    }
    return bytes;
}

}  // namespace pelko
