#include "engine/project/source_loader.h"

#include <algorithm>
#include <tuple>

#include "engine/image/file_kind.h"
#include "engine/project/composition.h"

namespace pelko {
namespace {

std::string tooLargeLine(const FrameRecord& frame, int number, const ProjectSettings& settings)
{
    const FrameSize size = frameImageSize(frame, settings);
    return "Frame " + std::to_string(number) + " (" + frame.File +
           ") cannot be rendered: " + std::to_string(size.width) + " x " + std::to_string(size.height) +
           " pixels is more than a picture can hold.";
}

}  // namespace

std::string notFoundFrameLine(const FrameRecord& frame, bool countFromOne)
{
    const std::int64_t number = std::int64_t(frame.Frame) + (countFromOne ? 1 : 0);
    return "Not found frame " + std::to_string(number) + " in file " + frame.File;
}

std::string failureLine(SourceCommand command, SourceStatus status, const FrameRecord& frame, int number,
                        const ProjectSettings& settings)
{
    const bool gif = hasExtension(frame.File, ".gif");
    const bool countFromOne = command != SourceCommand::FlipConvert;
    switch (status) {
        case SourceStatus::Ok:
            break;
        case SourceStatus::TooLarge:
            return tooLargeLine(frame, number, settings);
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
                case SourceCommand::Show:
                    return "Cannot create bitmap from " + frame.File;
            }
            break;
    }
    return {};
}

void SourceLoader::noteError(const std::string& error)
{
    if (!error.empty() && std::find(errors_.begin(), errors_.end(), error) == errors_.end())
        errors_.push_back(error);
}

LoadedSource SourceLoader::load(const std::string& file, int frame)
{
    LoadedSource out;
    if (!cache_.fileExists(file)) {
        out.status = SourceStatus::MissingFile;
        return out;
    }
    if (command_ == SourceCommand::Refresh && readAnew_.insert(file).second)
        cache_.forget(file);
    if (!hasExtension(file, ".gif")) {
        if (command_ == SourceCommand::Open)
            return out;  // the picture is read when the frame is shown
        out.picture = cache_.still(file, reader_, out.error);
        if (!out.picture)
            out.status = SourceStatus::Unreadable;
        else
            out.rect = {0, 0, out.picture->width(), out.picture->height()};
        return out;
    }
    const std::shared_ptr<const GifSource> gif = cache_.gif(file, reader_, out.error);
    if (!gif) {
        out.status = SourceStatus::Unreadable;
        return out;
    }
    if (frame < 0 || std::size_t(frame) >= gif->frames.size()) {
        out.status = SourceStatus::MissingFrame;
        return out;
    }
    const GifSourceFrame& sub = gif->frames[std::size_t(frame)];
    if (sub.empty) {
        out.status = SourceStatus::EmptyFrame;
        return out;
    }
    out.rect = sub.rect;
    return out;
}

RenderOutcome SourceLoader::check(FrameRecord& frame, int number, const ProjectSettings& settings,
                                  const ProjectSettings* placeWith)
{
    RenderOutcome out;
    const LoadedSource src = load(frame.File, frame.Frame);
    noteError(src.error);
    // a new placement counts only once the frame can be rendered with it
    const auto placement = std::tuple(frame.Stretch, frame.Left, frame.Top, frame.Width, frame.Height);
    if (src.status == SourceStatus::Ok && placeWith)
        placeNewFrame(frame, src.rect, *placeWith);
    out.status = src.status;
    if (out.ok()) {
        const FrameSize size = frameImageSize(frame, settings);
        if (!pictureSizeAllowed(size.width, size.height))
            out.status = SourceStatus::TooLarge;
    }
    if (!out.ok()) {
        out.logLine = failureLine(command_, out.status, frame, number, settings);
        std::tie(frame.Stretch, frame.Left, frame.Top, frame.Width, frame.Height) = placement;
        if (!out.logLine.empty())
            cache_.noteReported(out.logLine);
    }
    return out;
}

}  // namespace pelko
