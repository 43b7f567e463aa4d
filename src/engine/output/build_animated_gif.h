#pragma once
// Building the animated GIF of a frame list.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/base/progress.h"
#include "engine/gif/gif_image.h"
#include "engine/project/project.h"

namespace pelko {

struct AnimatedGifOptions {
    bool mergeColorMaps = false;  // one global map ("Optimize" of the project)
    bool crop = false;            // ooCrop
    bool interlaced = false;
    bool mergeSimilarities = false;  // ooMerge
    std::uint16_t loops = 0;         // 0: endless
    // The smaller-file mode: its strength 0 (off) to 100, which alone is
    // the lossy LZW's; with bestPalette the frames also keep what is shown
    // where it is close enough and get palettes for what changed.
    int lossy = 0;
    bool bestPalette = false;
    int jobs = 0;  // threads reducing frames; 0: one per core. The bytes never depend on it.
    // The frames' pixels a streamed write that needs the whole animation
    // holds in memory; past it they wait packed in a scratch file.
    std::size_t workingMemory = std::size_t(128) << 20;
};

// The lossy LZW strength the options give the encoder: with bestPalette
// the strength goes mostly to keeping and palettes, and a fifth of it to
// the code stream.
int lzwStrength(const AnimatedGifOptions& options);

// The project's own stored options.
AnimatedGifOptions gifOptionsOf(const ProjectSettings& settings, std::uint16_t loops);

// Every frame in list order becomes a frame of a new image: the image takes
// the frame's GIF settings, the frame picture (its Width x Height, cut or
// padded white) is reduced with them and its transparent colour, placed
// at (Left, Top), given a graphic control extension with delay Time / 10, the
// first frame also the loop extension; then the maps are merged and the
// animation optimised as the options say. The logical screen starts at the
// canvas size. The codec's GIFImageDefault... values are read, never
// written, so builds may run beside each other.
std::unique_ptr<TGIFImage> BuildAnimatedGif(const Project& project, const AnimatedGifOptions& options,
                                            ProgressSink& progress = noProgress());

// Writes the image to path as an OutputFile: a failure or a killed process
// never leaves a truncated file in place of a good one, nor a temporary.
// Throws OutputFileError ("PATH: reason") when the file cannot be written.
void SaveAnimatedGif(TGIFImage& image, const std::string& path);

}  // namespace pelko
