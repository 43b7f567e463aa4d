#pragma once
// The animated GIF of a project made the plain way: every frame converted
// into one image in memory on one thread, then the codec's own steps over
// the whole animation (OptimizeColorMap, Optimize) and one save. The
// streamed writer must give these bytes, or this error, whatever its thread
// count and memory.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/colour/bitmap_frame.h"
#include "engine/gif/optimize.h"
#include "engine/output/animated_gif_frame.h"
#include "engine/output/build_animated_gif.h"

namespace pelko::test {

inline std::vector<std::uint8_t> referenceGifBytes(const Project& project, const AnimatedGifOptions& options)
{
    TGIFImage image;
    image.SetWidth(project.settings.Width);
    image.SetHeight(project.settings.Height);
    image.SetEncodeThreads(1);
    image.SetLossy(lzwStrength(options));
    std::unique_ptr<SmallerGifFrames> smaller;
    if (options.bestPalette)
        smaller = std::make_unique<SmallerGifFrames>(project, options.lossy);
    for (int j = 0; j < project.frames.count(); ++j) {
        applyFrameSettings(image, project.frames[std::size_t(j)].Gif);
        const int index = AddBitmap(image, frameBitmap(project, j, smaller.get()));
        setUpFrame(*image.Images().GetImage(index), project, j, options);
    }
    if (options.mergeColorMaps)
        OptimizeColorMap(image);
    TGIFOptimizeOptions steps;
    if (options.crop)
        steps.Include(ooCrop);
    if (options.mergeSimilarities)
        steps.Include(ooMerge);
    if (options.crop || options.mergeSimilarities)
        Optimize(image, steps, rmNone, dmNearest, 8);
    return image.SaveToBytes();
}

// The reference bytes as text, or "error: " and the reason.
inline std::string referenceGif(const Project& project, const AnimatedGifOptions& options)
{
    try {
        const std::vector<std::uint8_t> b = referenceGifBytes(project, options);
        return std::string(b.begin(), b.end());
    } catch (const std::exception& e) {
        return std::string("error: ") + e.what();
    }
}

}  // namespace pelko::test
