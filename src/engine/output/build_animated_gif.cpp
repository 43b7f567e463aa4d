#include "engine/output/build_animated_gif.h"

#include "engine/base/output_file.h"
#include "engine/output/write_animated_gif.h"

namespace pelko {

int lzwStrength(const AnimatedGifOptions& options)
{
    return options.bestPalette ? options.lossy / 5 : options.lossy;
}

AnimatedGifOptions gifOptionsOf(const ProjectSettings& s, std::uint16_t loops)
{
    AnimatedGifOptions o;
    o.mergeColorMaps = s.Optimize;
    o.crop = s.Crop;
    o.interlaced = s.Interlaced;
    o.mergeSimilarities = s.Merge;
    o.loops = loops;
    o.lossy = s.Lossy;
    o.bestPalette = s.BestPalette;
    return o;
}

}  // namespace pelko
