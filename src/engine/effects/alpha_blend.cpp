#include "engine/effects/alpha_blend.h"

#include <algorithm>
#include <stdexcept>

#include "engine/base/free_name_file.h"
#include "engine/effects/generated_frames.h"
#include "engine/image/resample.h"
#include "engine/project/frame_cache.h"

namespace pelko {

const char* const kBlendWorkFolderError = "One cannot create ";

AlphaBlendSettings clampedBlendSettings(AlphaBlendSettings s)
{
    s.count = std::clamp(s.count, kMinBlendCount, kMaxBlendCount);
    s.time = std::clamp(s.time, kMinBlendTime, kMaxBlendTime);
    return s;
}

int alphaStep(int count)
{
    return count > 1 ? 255 / (count - 1) : 255;
}

std::vector<int> alphaSequence(int count, bool hideUp)
{
    const int step = alphaStep(count);
    std::vector<int> alphas;
    alphas.reserve(std::size_t(std::max(0, count)));
    int a = hideUp ? 255 : 0;
    for (int k = 0; k < count; ++k) {
        a = std::clamp(a, 0, 255);
        alphas.push_back(a);
        a += hideUp ? -step : step;
    }
    return alphas;
}

void blendOnto(Picture& dest, const Picture& over, int alpha)
{
    if (dest.empty() || over.empty())
        return;
    alpha = std::clamp(alpha, 0, 255);
    Picture scaled;
    const Picture* src = &over;
    if (over.width() != dest.width() || over.height() != dest.height()) {
        scaled = resamplePicture(over, dest.width(), dest.height());
        src = &scaled;
    }
    const unsigned a = unsigned(alpha), rest = 255u - a;
    for (int y = 0; y < dest.height(); ++y) {
        std::uint8_t* d = dest.row(y);
        const std::uint8_t* s = src->row(y);
        for (std::size_t i = 0; i < dest.stride(); ++i)
            d[i] = std::uint8_t((s[i] * a + d[i] * rest + 127u) / 255u);
    }
}

namespace {

Picture renderedImage(const Project& project, int index)
{
    const FramePicture image = frameImage(project, index, false);
    if (!image.ok())
        throw std::runtime_error(frameFailureLine(project, index, image.status));
    return *image.picture;
}

}  // namespace

BlendSources blendSources(const Project& project, int anchor)
{
    if (anchor < 0 || anchor >= project.frames.count())
        throw std::out_of_range("no frame is selected");
    BlendSources s;
    s.anchor = anchor;
    s.anchorImage = renderedImage(project, anchor);
    if (anchor > 0)
        s.partnerImage = renderedImage(project, anchor - 1);
    s.canvasWidth = project.settings.Width;
    s.canvasHeight = project.settings.Height;
    return s;
}

Picture blendedPicture(const BlendSources& sources, const AlphaBlendSettings& settings, int k)
{
    const std::vector<int> alphas = alphaSequence(settings.count, settings.hideUp);
    Picture picture;
    if (sources.partnerIsBackground()) {
        picture = Picture(std::max(0, sources.canvasWidth), std::max(0, sources.canvasHeight));
        picture.fill(settings.background);
    } else {
        picture = sources.partnerImage;
    }
    blendOnto(picture, sources.anchorImage, alphas.at(std::size_t(k)));
    return picture;
}

std::unique_ptr<TGIFImage> buildBlendGif(const BlendSources& sources, const AlphaBlendSettings& settings,
                                         const GifFrameSettings& anchorGif, ProgressSink& progress)
{
    auto image = std::make_unique<TGIFImage>();
    for (int k = 0; k < settings.count; ++k) {
        setGeneratedColorSettings(*image, anchorGif);
        addGeneratedFrame(*image, blendedPicture(sources, settings, k), anchorGif.TransparentColor,
                          settings.time);
        progress.progress((k + 1) * 90 / settings.count);
        if (progress.cancelled())
            return nullptr;
    }
    return image;
}

GeneratedFrames addAlphaBlendFrames(Project& project, const AlphaBlendSettings& given,
                                    const std::string& workFolder, SourceReader& reader,
                                    ProgressSink& progress)
{
    const AlphaBlendSettings settings = clampedBlendSettings(given);
    const int anchor = project.selection.first();
    const BlendSources sources = blendSources(project, anchor);
    const FrameRecord a = project.frames[std::size_t(anchor)];
    GeneratedFrames result;
    const std::unique_ptr<TGIFImage> image = buildBlendGif(sources, settings, a.Gif, progress);
    if (!image) {
        result.cancelled = true;
        return result;
    }
    result.path = writeUnderFreeName(workFolder, "AlphaBlend", ".gif", image->SaveToBytes());
    result.inserted =
        insertGeneratedFrames(project, result.path, std::size_t(anchor) + 1, reader, [&](FrameRecord& f) {
            f.Left = a.Left;
            f.Top = a.Top;
            f.Width = a.Width;
            f.Height = a.Height;
            f.Stretch = project.settings.Stretch;
            f.Gif.ReductionBit = a.Gif.ReductionBit;
            f.Gif.GIFTransparent = a.Gif.GIFTransparent;
        });
    project.selection.clear();
    project.selection.selectOnly(result.inserted > 0 ? anchor + 1 : anchor);
    project.changed = true;
    progress.progress(100);
    return result;
}

}  // namespace pelko
