#pragma once
// Writing under a size budget: the quality setting of the format is searched
// for the best quality whose file fits in the budget. The file written is at
// most maxBytes long; the result's budget report tells its size, the setting
// chosen and the mean PSNR against the frames. When even the smallest
// setting does not fit, nothing is written and the failure names the
// smallest size reached.

#include <cstdint>
#include <string>

#include "engine/base/progress.h"
#include "engine/output/animated_webp.h"
#include "engine/output/build_animated_gif.h"
#include "engine/output/output_result.h"
#include "engine/project/project.h"

namespace pelko {

// The animated GIF: the smaller-file mode (best palettes, pixels that do not
// change merged, frames cropped) at the lowest strength that fits; past the
// strongest, fewer colours per frame. options gives the loops and threads.
OutputResult generateGifUnderBudget(const Project& project, const AnimatedGifOptions& options,
                                    std::int64_t maxBytes, const std::string& path,
                                    ProgressSink& progress = noProgress());

// The animated WebP: the highest lossy quality that fits (a lossless
// request is tried as it is first).
OutputResult generateWebpUnderBudget(const Project& project, const WebpOptions& options,
                                     std::int64_t maxBytes, const std::string& path,
                                     ProgressSink& progress = noProgress());

}  // namespace pelko
