#pragma once
// Project: the one open project as plain engine state. The main window owns
// one and mirrors it; the CLI builds one for batch work.

#include <cstdint>
#include <memory>
#include <string>

#include "engine/project/frame_list.h"
#include "engine/project/message_log.h"
#include "engine/project/project_settings.h"
#include "engine/project/selection.h"

namespace pelko {

class FrameCache;
// A cache with the default budget and the engine's own reader (frame_cache.h).
std::shared_ptr<FrameCache> newFrameCache();

struct Project {
    ProjectSettings settings;
    FrameList frames;
    Selection selection;
    MessageLog log;
    std::string path;      // empty for a project never saved
    bool changed = false;  // mirrors the enabled state of "Save project"
    // The frames' pixels (frame_cache.h); a copy of a project shares it.
    std::shared_ptr<FrameCache> cache = newFrameCache();

    // Clears frames, selection, log and cache, as New and Open do first.
    void clear();

    // Total playback time in milliseconds: the sum of the frames' times in a
    // GIF project, AVI frame time x frame count in an AVI project.
    std::int64_t totalTime() const;
};

// Status bar texts.
std::string playbackText(std::int64_t totalMs);  // "Playback: 800 msec", "Playback: 1.1 sec"
std::string frameCountText(int count);           // "Frame's number: 3"
std::string sizeText(int width, int height);     // "Size: 100 x 100"
std::string typeText(std::int32_t type);         // "AVI" or "GIF"

}  // namespace pelko
