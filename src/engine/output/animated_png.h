#pragma once
// The animated PNG of a frame list, written with the engine's PNG image
// encoder: every picture the animation shows (animation_canvas.h) at its
// own time, each stored as the rectangle that changed since the one before,
// written whole or laid over it (only its changed pixels), whichever is
// smaller. True colour without any colour reduction; an alpha channel only
// when the animation can show transparent pixels.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/base/progress.h"
#include "engine/output/output_result.h"
#include "engine/project/project.h"

namespace pelko {

struct ApngOptions {
    std::uint16_t loops = 0;  // 0: endless
    int level = 9;            // compression, 1 (fastest) to 12 (smallest)
    int jobs = 0;             // threads rendering and compressing frames; 0: one per core

    bool operator==(const ApngOptions&) const = default;
};

// Whether the animation can show a transparent pixel: a frame with a
// transparent colour, a frame cleared to the background, or a first frame
// that leaves part of the canvas empty.
bool animationMayBeTransparent(const Project& project);

// Writes the animated PNG through append, in order; frames are compressed
// on options.jobs threads, only a few held at a time. False when progress
// asked to stop. Throws the frame's reason, std::bad_alloc, or what append
// throws.
bool writeAnimatedPng(const Project& project, const ApngOptions& options,
                      const std::function<void(const std::vector<std::uint8_t>&)>& append,
                      ProgressSink& progress = noProgress());

// The bytes in memory; nullopt when progress asked to stop.
std::optional<std::vector<std::uint8_t>> buildAnimatedPng(const Project& project, const ApngOptions& options,
                                                          ProgressSink& progress = noProgress());

// Writes the animated PNG at path, with the checks and wording of
// generateGifFile. A failure leaves no file.
OutputResult generateApngFile(const Project& project, const ApngOptions& options, const std::string& path,
                              ProgressSink& progress = noProgress());

}  // namespace pelko
