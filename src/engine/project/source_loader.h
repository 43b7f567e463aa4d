#pragma once
// Reading the source a frame names and rendering the frame from it, for the
// commands that work through many frames: Open, Refresh, Flip and Convert,
// Project options and Frame options. A frame that cannot be rendered is left
// as it was and the command gets the reason with its own log line; the
// wording of every command sits side by side in source_loader.cpp.

#include <optional>
#include <string>
#include <vector>

#include "engine/project/image_sources.h"

namespace pelko {

// The commands that render frames from their sources; each words its log
// lines in its own way.
enum class SourceCommand { Open, Refresh, FlipConvert, ProjectOptions, FrameOptions };

struct LoadedSource {
    SourceStatus status = SourceStatus::Ok;
    Picture picture;
    Rect rect;          // the source's own rectangle: (0, 0, size) or the sub-image's on the GIF screen
    std::string error;  // the reader's message box text, if it failed
};

struct RenderOutcome {
    SourceStatus status = SourceStatus::Ok;
    // The command's log line for a frame it could not render; empty when the
    // frame was rendered or the command passes over it without a word (an
    // empty GIF sub-image while opening).
    std::string logLine;
    Picture source;  // the source picture of a rendered frame, for its thumbnail

    bool ok() const { return status == SourceStatus::Ok; }
};

// The log line of a sub-image a GIF source does not hold: "Not found frame "
// + number + " in file " + file. Most commands show the number counted from
// 1, the flip and convert commands the stored number.
std::string notFoundFrameLine(const FrameRecord& frame, bool countFromOne);

// Reads sources for one run of a command. Keeps the last GIF file it read, so
// frames from one GIF do not read it again and again, and collects the
// readers' message texts, one per file.
class SourceLoader {
public:
    SourceLoader(SourceReader& reader, SourceCommand command) : reader_(reader), command_(command) {}

    // The picture that (file, frame) names.
    LoadedSource load(const std::string& file, int frame);

    // Reads the source frame names and renders frame.image from it with the
    // frame's placement, mirror, grey and negative. With placeWith, the frame
    // is first placed anew from the source's rectangle by the placement rule
    // under those settings. On any failure the frame is left exactly as it
    // was. number is the frame's number as the user sees it, for the log.
    RenderOutcome render(FrameRecord& frame, int number, const ProjectSettings& settings,
                         const ProjectSettings* placeWith = nullptr);

    // The readers' message box texts met so far, each once, in order.
    const std::vector<std::string>& errors() const { return errors_; }

private:
    SourceReader& reader_;
    SourceCommand command_;
    std::string gifPath_;
    std::optional<GifSource> gif_;
    std::string gifError_;
    std::vector<std::string> errors_;

    void noteError(const std::string& error);
};

}  // namespace pelko
