#include "engine/project/frame_render.h"

#include <filesystem>
#include <system_error>

#include "engine/image/file_kind.h"
#include "engine/image/picture_effects.h"

namespace pelko {

void applyColourEffects(FrameRecord& frame)
{
    if (frame.Gray)
        greyPicture(frame.image);
    if (frame.Inverse)
        invertPicture(frame.image);
}

void renderFrame(FrameRecord& frame, const Picture& source, const ProjectSettings& settings)
{
    composeFrame(frame, source, settings);
    if (frame.Flip != FlipNormal)
        frame.image = mirrorPicture(frame.image, frame.Flip, frame.Width, frame.Height);
    applyColourEffects(frame);
}

std::string notFoundFrameLine(const FrameRecord& frame, bool countFromOne)
{
    const std::int64_t number = std::int64_t(frame.Frame) + (countFromOne ? 1 : 0);
    return "Not found frame " + std::to_string(number) + " in file " + frame.File;
}

LoadedSource SourceLoader::load(const std::string& file, int frame)
{
    LoadedSource out;
    std::error_code ec;
    if (file.empty() || !std::filesystem::is_regular_file(file, ec)) {
        out.status = SourceStatus::MissingFile;
        return out;
    }
    if (!hasExtension(file, ".gif")) {
        std::optional<Picture> p = reader_.readStill(file, out.error);
        if (!p)
            out.status = SourceStatus::Unreadable;
        else {
            out.picture = std::move(*p);
            out.rect = {0, 0, out.picture.width(), out.picture.height()};
        }
        return out;
    }
    if (gifPath_ != file) {
        gifPath_ = file;
        gifError_.clear();
        gif_ = reader_.readGif(file, gifError_);
    }
    if (!gif_) {
        out.status = SourceStatus::Unreadable;
        out.error = gifError_;
        return out;
    }
    if (frame < 0 || std::size_t(frame) >= gif_->frames.size()) {
        out.status = SourceStatus::MissingFrame;
        return out;
    }
    const GifSourceFrame& sub = gif_->frames[std::size_t(frame)];
    if (sub.empty) {
        out.status = SourceStatus::EmptyFrame;
        return out;
    }
    out.picture = sub.picture;
    out.rect = sub.rect;
    return out;
}

}  // namespace pelko
