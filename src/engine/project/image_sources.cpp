#include "engine/project/image_sources.h"

#include <algorithm>

#include "engine/image/file_kind.h"
#include "engine/image/picture_reader.h"
#include "engine/project/frame_cache.h"

namespace pelko {

bool isSourceExtension(const std::string& path)
{
    const std::string ext = fileExtension(path);
    return ext == ".gif" || ext == ".bmp" || ext == ".jpg" || ext == ".jpeg" || ext == ".png" ||
           ext == ".ico";
}

namespace {

// "BMP." and so on, for a file that has gone between choosing and reading it.
std::string stillKindText(const std::string& path)
{
    return std::string(stillKindName(stillKindOf(path))) + ".";
}

std::uint16_t clampTime(std::int64_t ms)
{
    return std::uint16_t(std::clamp<std::int64_t>(ms, 0, 65535));
}

// The canvas takes the size of the first frame added to a new project.
void fixCanvas(Project& project, int width, int height, AddResult& result)
{
    ProjectSettings& s = project.settings;
    if (!s.FixAtFirstFrame)
        return;
    s.Width = width;
    s.Height = height;
    s.FixAtFirstFrame = false;
    result.canvasChanged = true;
}

}  // namespace

AddResult addSourceFile(Project& project, const std::string& path, std::size_t at, SourceReader& reader)
{
    AddResult result;
    at = std::min(at, project.frames.size());
    ProjectSettings& settings = project.settings;
    std::string error;

    FrameCache& cache = *project.cache;
    if (hasExtension(path, ".gif")) {
        const std::shared_ptr<const GifSource> gif = cache.gif(path, reader, error);
        if (!gif) {
            if (error.empty())
                reader.readGif(path, error);  // gone: the reader says so in its words
            result.errors.push_back(error.empty() ? "This file is not GIF.\n" + path : error);
            return result;
        }
        for (std::size_t i = 0; i < gif->frames.size(); ++i) {
            const GifSourceFrame& sub = gif->frames[i];
            if (sub.empty)
                continue;
            fixCanvas(project, sub.rect.width, sub.rect.height, result);
            FrameRecord frame;
            frame.File = path;
            frame.Frame = std::int32_t(i);
            placeNewFrame(frame, sub.rect, settings);
            if (!settings.isGif())
                frame.Time = clampTime(settings.AviFrameTime);
            else {
                std::int64_t t = sub.hasControl ? std::int64_t(sub.delay) * 10 : settings.GifFrameTime;
                if (t == 0)
                    t = settings.GifFrameTime;
                frame.Time = clampTime(t);  // delays above 6553 are kept at the longest time
            }
            frame.Gif.ReductionBit = sub.bitsPerPixel;
            if (sub.hasControl) {
                frame.Gif.DisposalMethod = std::uint8_t(sub.disposal);
                frame.Gif.GIFTransparent = sub.transparent;
                frame.Gif.TransparentColorIndex = std::uint8_t(sub.transparentIndex);
                frame.Gif.TransparentColor = sub.transparentColor;
            }
            if (frame.Gif.ReductionBit < 3)
                frame.Gif.ReductionBit = std::clamp(gif->bitsPerPixel, 3, 8);
            project.frames.insert(at++, std::move(frame));
            ++result.added;
        }
        return result;
    }

    if (!isSourceExtension(path))
        return result;
    const PicturePtr picture = cache.still(path, reader, error);
    if (!picture) {
        if (error.empty())
            reader.readStill(path, error);  // gone: the reader says so in its words
        result.errors.push_back(error.empty() ? "This file is not " + stillKindText(path) + "\n" + path
                                              : error);
        return result;
    }
    fixCanvas(project, picture->width(), picture->height(), result);
    FrameRecord frame;
    frame.File = path;
    frame.Frame = 0;
    placeNewFrame(frame, {0, 0, picture->width(), picture->height()}, settings);
    frame.Time = settings.isGif() ? settings.GifFrameTime : clampTime(settings.AviFrameTime);
    if (!picture->empty())
        frame.Gif.TransparentColor = picture->pixel(0, picture->height() - 1);
    project.frames.insert(at, std::move(frame));
    result.added = 1;
    return result;
}

}  // namespace pelko
