#pragma once
// The animated GIF of a frame list, written as a stream into a file or into
// memory.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/base/progress.h"
#include "engine/output/build_animated_gif.h"
#include "engine/project/project.h"

namespace pelko {

// Writes to path the animated GIF of the project's frames. Every frame in
// list order becomes a frame of the image: the frame picture (its Width x
// Height, cut or padded white) reduced with the frame's GIF settings and its
// transparent colour, placed at (Left, Top), with a graphic control
// extension of delay gifDelayOf(Time), the first frame also with the loop
// extension; then the maps are merged and the animation optimised as the
// options say. The logical screen starts at the canvas size, and the image
// is compressed as the last frame's settings say. The codec's
// GIFImageDefault... values are read, never written, so writes may run
// beside each other.
//
// Only the frames being worked on are held: frames are converted (and
// compressed) on `options.jobs` threads in list order; when the options
// need the whole animation (one colour map, replacing repeated pixels,
// cutting frames down), the frames' colour indices wait, packed past
// `options.workingMemory`, in a scratch file beside path for a second pass.
// The bytes never depend on the thread count or the memory.
//
// Returns false when progress asked to stop; nothing is written then.
// Throws the frame's reason, or OutputFileError ("PATH: reason"); a failure
// leaves no file and any earlier file at path as it was.
bool WriteAnimatedGif(const Project& project, const AnimatedGifOptions& options, const std::string& path,
                      ProgressSink& progress = noProgress());

// The bytes WriteAnimatedGif writes, in memory: the preview of the GIF
// options dialog, which TGIFImage::LoadFromBytes reads back for the player
// and saveGifFile (generate_gif.h) writes as they are. The scratch file,
// when needed, goes to the system's temporary folder. nullopt when progress
// asked to stop. Throws as WriteAnimatedGif.
std::optional<std::vector<std::uint8_t>> buildAnimatedGifBytes(const Project& project,
                                                               const AnimatedGifOptions& options,
                                                               ProgressSink& progress = noProgress());

}  // namespace pelko
