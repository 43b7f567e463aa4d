#pragma once
// The animated WebP of a frame list (libwebp's animation encoder): every
// picture the animation shows (animation_canvas.h), each at its own time in
// milliseconds, lossy or lossless; the encoder stores what changed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/base/progress.h"
#include "engine/output/output_result.h"
#include "engine/project/project.h"

namespace pelko {

struct WebpOptions {
    bool lossless = false;
    // Lossy: the quality, 0 (smallest) to 100 (best). Lossless: the effort,
    // 0 (fastest) to 100 (smallest).
    int quality = 86;
    // Also tries other rectangles and blends for each frame: smaller, slower.
    bool minimizeSize = false;
    // The largest distance between key frames (frames that stand alone);
    // 0: no key frames past the first.
    int keyFrameSpacing = 0;
    std::uint16_t loops = 0;  // 0: endless
    int jobs = 0;             // threads rendering frames; 0: one per core

    bool operator==(const WebpOptions&) const = default;
};

// The bytes of the animated WebP; nullopt when progress asked to stop.
// Throws the frame's reason, std::bad_alloc, or std::runtime_error with the
// encoder's.
std::optional<std::vector<std::uint8_t>> buildAnimatedWebp(const Project& project, const WebpOptions& options,
                                                           ProgressSink& progress = noProgress());

// Writes the animated WebP at path, with the checks and wording of
// generateGifFile. A failure leaves no file.
OutputResult generateWebpFile(const Project& project, const WebpOptions& options, const std::string& path,
                              ProgressSink& progress = noProgress());

}  // namespace pelko
