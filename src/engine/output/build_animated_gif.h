#pragma once
// The options of an animated GIF of a frame list (the GIF itself is written
// by write_animated_gif.h).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

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
    int jobs = 0;  // threads converting frames; 0: one per core. The bytes never depend on it.
    // The frames' pixels a write that needs the whole animation holds in
    // memory; past it they wait packed in a scratch file. The bytes never
    // depend on it.
    std::size_t workingMemory = std::size_t(128) << 20;

    // Equal options give equal bytes, so a preview built with options equal
    // to the chosen ones is the file to save. jobs and workingMemory are
    // compared too: a difference there only costs building again.
    bool operator==(const AnimatedGifOptions&) const = default;
};

// The lossy LZW strength the options give the encoder: with bestPalette
// the strength goes mostly to keeping and palettes, and a fifth of it to
// the code stream.
int lzwStrength(const AnimatedGifOptions& options);

// The project's own stored options.
AnimatedGifOptions gifOptionsOf(const ProjectSettings& settings, std::uint16_t loops);

}  // namespace pelko
