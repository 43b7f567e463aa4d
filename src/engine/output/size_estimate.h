#pragma once
// Sizes before writing: every format's file size estimated from a few runs
// of the frames, for the Generate dialog's line "GIF 4.5 MB · WebP 1.2 MB ·
// APNG 6.0 MB · MP4 0.3 MB". Each run is encoded twice, whole and as its
// first frame alone: the first frame's size stands for the file's start,
// the rest of the run for each frame after it.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/base/progress.h"
#include "engine/output/animated_png.h"
#include "engine/output/animated_webp.h"
#include "engine/output/build_animated_gif.h"
#include "engine/output/generate_video.h"
#include "engine/output/output_target.h"
#include "engine/project/project.h"

namespace pelko {

// The options each format would be written with.
struct EstimateOptions {
    AnimatedGifOptions gif;
    WebpOptions webp;
    ApngOptions apng;
    VideoFileOptions video;  // its format follows the kind estimated; no sound
};

struct SizeEstimate {
    OutputKind kind = OutputKind::None;
    std::int64_t bytes = 0;  // 0: could not be estimated
};

// The estimated size of the project written as kind (GIF, WebP, APNG, MP4,
// WebM). Animations of up to 12 frames are encoded whole. Throws what
// rendering a frame throws; a video that cannot be made gives 0.
std::int64_t estimateOutputSize(const Project& project, OutputKind kind, const EstimateOptions& options = {},
                                ProgressSink& progress = noProgress());

// The estimates of the kinds, in order; stops early (returning what it has)
// when progress is cancelled.
std::vector<SizeEstimate> estimateOutputSizes(const Project& project, const std::vector<OutputKind>& kinds,
                                              const EstimateOptions& options = {},
                                              ProgressSink& progress = noProgress());

// "GIF 4.5 MB · WebP 1.2 MB": each kind's name and size (kB and MB in powers
// of 1000, one decimal); kinds without an estimate are left out.
std::string estimateLine(const std::vector<SizeEstimate>& estimates);

// "GIF", "AVI", "WebP", "APNG", "MP4", "WebM"; empty for none.
const char* outputKindName(OutputKind kind);

}  // namespace pelko
