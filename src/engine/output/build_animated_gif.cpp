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

std::unique_ptr<TGIFImage> BuildAnimatedGif(const Project& project, const AnimatedGifOptions& options,
                                            ProgressSink& progress)
{
    const std::optional<std::vector<std::uint8_t>> bytes = buildAnimatedGifBytes(project, options, progress);
    if (!bytes)
        return nullptr;
    auto image = std::make_unique<TGIFImage>();
    image->LoadFromBytes(bytes->data(), bytes->size());
    return image;
}

void SaveAnimatedGif(TGIFImage& image, const std::string& path)
{
    writeOutputFile(path, image.SaveToBytes());
}

}  // namespace pelko
