#include "engine/project/source_loader.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>
#include <tuple>

#include "engine/image/file_kind.h"
#include "engine/project/frame_render.h"

namespace pelko {
namespace {

// The size of the picture that composing the frame needs: the canvas for a
// stretched frame, the frame's own size otherwise.
std::string composedSizeText(const FrameRecord& frame, const ProjectSettings& settings)
{
    const int w = std::max(0, frame.Stretch ? settings.Width : frame.Width);
    const int h = std::max(0, frame.Stretch ? settings.Height : frame.Height);
    return std::to_string(w) + " x " + std::to_string(h);
}

// What each command writes to the log for a frame it cannot render.
std::string failureLine(SourceCommand command, SourceStatus status, const FrameRecord& frame)
{
    const bool gif = hasExtension(frame.File, ".gif");
    const bool countFromOne = command != SourceCommand::FlipConvert;
    switch (status) {
        case SourceStatus::Ok:
        case SourceStatus::TooLarge:
            break;
        case SourceStatus::MissingFile:
            return "Not found file: " + frame.File;
        case SourceStatus::MissingFrame:
            return notFoundFrameLine(frame, countFromOne);
        case SourceStatus::EmptyFrame:
            if (command == SourceCommand::Open)
                return {};  // an empty sub-image is passed over without a word
            return notFoundFrameLine(frame, countFromOne);
        case SourceStatus::Unreadable:
            switch (command) {
                case SourceCommand::Open:
                    return gif ? notFoundFrameLine(frame, true) : "Not found file: " + frame.File;
                case SourceCommand::Refresh:
                    return gif ? notFoundFrameLine(frame, true) : "It is impossible to get the Bitmap.";
                case SourceCommand::FlipConvert:
                    return gif ? notFoundFrameLine(frame, false) : "Cannot create bitmap from " + frame.File;
                case SourceCommand::ProjectOptions:
                    return "It is impossible to get the Bitmap." + frame.File;
                case SourceCommand::FrameOptions:
                    return gif ? notFoundFrameLine(frame, true)
                               : "It is impossible to get the Bitmap." + frame.File;
            }
            break;
    }
    return {};
}

}  // namespace

std::string notFoundFrameLine(const FrameRecord& frame, bool countFromOne)
{
    const std::int64_t number = std::int64_t(frame.Frame) + (countFromOne ? 1 : 0);
    return "Not found frame " + std::to_string(number) + " in file " + frame.File;
}

void SourceLoader::noteError(const std::string& error)
{
    if (!error.empty() && std::find(errors_.begin(), errors_.end(), error) == errors_.end())
        errors_.push_back(error);
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
    out.picture = sub.toPicture();
    out.rect = sub.rect;
    return out;
}

RenderOutcome SourceLoader::render(FrameRecord& frame, int number, const ProjectSettings& settings,
                                   const ProjectSettings* placeWith)
{
    RenderOutcome out;
    LoadedSource src = load(frame.File, frame.Frame);
    noteError(src.error);
    if (src.status != SourceStatus::Ok) {
        out.status = src.status;
        out.logLine = failureLine(command_, src.status, frame);
        return out;
    }
    // a new placement counts only once the frame is rendered with it
    const auto placement = std::tuple(frame.Stretch, frame.Left, frame.Top, frame.Width, frame.Height);
    if (placeWith)
        placeNewFrame(frame, src.rect, *placeWith);
    try {
        frame.image = renderedImage(frame, src.picture, settings);
    } catch (const std::length_error&) {
        out.status = SourceStatus::TooLarge;
    } catch (const std::bad_alloc&) {
        out.status = SourceStatus::TooLarge;  // within the limits, but more than memory holds
    }
    if (out.status == SourceStatus::TooLarge) {
        out.logLine = "Frame " + std::to_string(number) + " (" + frame.File +
                      ") cannot be rendered: " + composedSizeText(frame, settings) +
                      " pixels is more than a picture can hold.";
        std::tie(frame.Stretch, frame.Left, frame.Top, frame.Width, frame.Height) = placement;
        return out;
    }
    out.source = std::move(src.picture);
    return out;
}

}  // namespace pelko
