#include "engine/project/project.h"

#include <cstdio>

#include "engine/project/frame_cache.h"

namespace pelko {

void Project::clear()
{
    frames.clear();
    selection.clear();
    log.clear();
    cache->clear();
}

std::int64_t Project::totalTime() const
{
    if (settings.isGif()) {
        std::int64_t sum = 0;
        for (const FrameRecord& f : frames) sum += f.Time;
        return sum;
    }
    return std::int64_t(settings.AviFrameTime) * frames.count();
}

std::string playbackText(std::int64_t totalMs)
{
    if (totalMs < 1000)
        return "Playback: " + std::to_string(totalMs) + " msec";
    // general format, up to 15 significant digits: 1500 -> 1.5, 2000 -> 2
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", double(totalMs) / 1000.0);
    return std::string("Playback: ") + buf + " sec";
}

std::string frameCountText(int count)
{
    return "Frame's number: " + std::to_string(count);
}

std::string sizeText(int width, int height)
{
    return "Size: " + std::to_string(width) + " x " + std::to_string(height);
}

std::string typeText(std::int32_t type)
{
    return type == ProjectGif ? "GIF" : "AVI";
}

}  // namespace pelko
