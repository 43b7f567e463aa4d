#pragma once
// The animated GIF as Generate writes it: what keeps the file from its place
// is found before the long work, and every failure is worded as the window
// and pelko-cli show it.

#include <cstdint>
#include <span>
#include <string>

#include "engine/base/progress.h"
#include "engine/output/build_animated_gif.h"
#include "engine/output/output_result.h"
#include "engine/project/project.h"

namespace pelko {

// Writes the project's animated GIF at path (WriteAnimatedGif). A path that
// cannot be replaced (a folder, a read-only file) or whose folder takes no
// new file fails before any frame is made; the frame's reason, a write
// failure and too little memory fail with their own texts. Cancelling
// through progress writes nothing. A failure leaves no file and any earlier
// file at path as it was.
OutputResult generateGifFile(const Project& project, const AnimatedGifOptions& options,
                             const std::string& path, ProgressSink& progress = noProgress());

// Writes the bytes of a GIF already made (the GIF options dialog's preview)
// at path, with the checks and texts of generateGifFile.
OutputResult saveGifFile(std::span<const std::uint8_t> bytes, const std::string& path);

}  // namespace pelko
