#include "engine/avi/avi_headers.h"

#include "engine/avi/riff.h"

namespace pelko {

bool fixStreamHeaders(const std::string& path, const StreamHeaderFix& fix)
{
    FileRiffSource file(path, true);
    if (!file.isOpen())
        return false;
    const auto riff = findChunk(file, 0, file.size(), fourCC("RIFF"), fourCC("AVI "));
    if (!riff)
        return false;
    const auto hdrl = findChunk(file, riff->contentOffset(), riff->dataEnd(), fourCC("LIST"), fourCC("hdrl"));
    if (!hdrl)
        return false;
    int streams = 0;
    std::uint64_t pos = hdrl->contentOffset();
    while (auto strl = findChunk(file, pos, hdrl->dataEnd(), fourCC("LIST"), fourCC("strl"))) {
        pos = strl->dataOffset + strl->size + (strl->size & 1u);
        const auto strh = findChunk(file, strl->contentOffset(), strl->dataEnd(), fourCC("strh"));
        if (!strh || strh->available < 48)
            continue;
        // fccType, fccHandler, flags, priority+language, initial frames, scale,
        // rate, start, length, suggested buffer size, quality, sample size.
        std::uint8_t h[48];
        if (!file.read(strh->dataOffset, h, sizeof h))
            return false;
        const std::uint32_t type = readLe32(h);
        if (type == fourCC("vids")) {
            if (fix.setHandler)
                writeLe32(h + 4, fix.handler);
            if (fix.videoScale && fix.videoRate) {
                writeLe32(h + 20, fix.videoScale);
                writeLe32(h + 24, fix.videoRate);
            }
            if (fix.suggestedBufferSize)
                writeLe32(h + 36, fix.suggestedBufferSize);
        } else if (type == fourCC("auds") && fix.blockAlign) {
            writeLe32(h + 20, fix.blockAlign);
            writeLe32(h + 24, fix.blockAlign * fix.samplesPerSec);
            writeLe32(h + 44, fix.blockAlign);
        }
        writeLe32(h + 40, 0xFFFFFFFFu);
        if (!file.write(strh->dataOffset, h, sizeof h))
            return false;
        ++streams;
    }
    return file.close() && streams > 0;
}

}  // namespace pelko
