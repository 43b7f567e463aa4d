#pragma once
// Writing the animated GIF of a frame list as a stream.

#include <string>

#include "engine/base/progress.h"
#include "engine/output/build_animated_gif.h"
#include "engine/project/project.h"

namespace pelko {

// Writes to path the bytes SaveAnimatedGif(BuildAnimatedGif(project,
// options)) would write, holding only the frames being worked on: frames are
// converted (and compressed) on `options.jobs` threads in list order; when
// the options need the whole animation (one colour map, replacing repeated
// pixels, cutting frames down), the frames' colour indices wait packed in a
// scratch file beside path for a second pass. Memory stays the same however
// long the animation.
//
// Returns false when progress asked to stop; nothing is written then.
// Throws as the build and the save would (the frame's reason, or
// OutputFileError "PATH: reason"); a failure leaves no file and any earlier
// file at path as it was.
bool WriteAnimatedGif(const Project& project, const AnimatedGifOptions& options, const std::string& path,
                      ProgressSink& progress = noProgress());

}  // namespace pelko
