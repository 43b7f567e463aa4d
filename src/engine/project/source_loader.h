#pragma once
// Reading the source a frame names, for the commands that work through many
// frames: Open, Refresh, Flip and Convert, Project options and Frame options.
// The reading goes through the project's frame cache, which keeps what was
// read for the frames' pictures; the pictures themselves are made when they
// are shown or written. A frame whose source fails is left as it was and the
// command gets the reason with its own log line; the wording of every command
// sits side by side in source_loader.cpp.

#include <set>
#include <string>
#include <vector>

#include "engine/project/frame_cache.h"

namespace pelko {

// The commands that read frames' sources; each words its log lines in its own
// way. Show is rendering on demand (the preview, the strip, the outputs).
enum class SourceCommand { Open, Refresh, FlipConvert, ProjectOptions, FrameOptions, Show };

struct LoadedSource {
    SourceStatus status = SourceStatus::Ok;
    PicturePtr picture;  // a still picture that was read
    Rect rect;           // the source's own rectangle: (0, 0, size) or the sub-image's on the GIF screen
    std::string error;   // the reader's message box text, if it failed
};

struct RenderOutcome {
    SourceStatus status = SourceStatus::Ok;
    // The command's log line for a frame it could not render; empty when the
    // frame can be rendered or the command passes over it without a word (an
    // empty GIF sub-image while opening).
    std::string logLine;

    bool ok() const { return status == SourceStatus::Ok; }
};

// The log line of a sub-image a GIF source does not hold: "Not found frame "
// + number + " in file " + file. Most commands show the number counted from
// 1, the flip and convert commands the stored number.
std::string notFoundFrameLine(const FrameRecord& frame, bool countFromOne);

// What command writes to the log for frame number (index + 1) that fails
// with status; empty when it writes nothing.
std::string failureLine(SourceCommand command, SourceStatus status, const FrameRecord& frame, int number,
                        const ProjectSettings& settings);

// Reads sources for one run of a command and collects the readers' message
// texts, one per file. Refresh reads every file it meets anew; the other
// commands take what the cache holds.
class SourceLoader {
public:
    SourceLoader(FrameCache& cache, SourceReader& reader, SourceCommand command)
        : cache_(cache), reader_(reader), command_(command)
    {
    }

    // The source that (file, frame) names. A file that is missing fails even
    // when the cache still holds its pixels: the commands report it. Opening
    // looks for a still picture's file without decoding it (its rectangle is
    // then unknown); a GIF is always read, to find its sub-image.
    LoadedSource load(const std::string& file, int frame);

    // Checks that frame can be rendered: reads its source and checks the size
    // of its frame image. With placeWith, the frame is first placed anew from
    // the source's rectangle by the placement rule under those settings. On
    // any failure the frame is left exactly as it was. number is the frame's
    // number as the user sees it, for the log.
    RenderOutcome check(FrameRecord& frame, int number, const ProjectSettings& settings,
                        const ProjectSettings* placeWith = nullptr);

    // The readers' message box texts met so far, each once, in order.
    const std::vector<std::string>& errors() const { return errors_; }

private:
    FrameCache& cache_;
    SourceReader& reader_;
    SourceCommand command_;
    std::vector<std::string> errors_;
    std::set<std::string> readAnew_;  // files Refresh has dropped from the cache

    void noteError(const std::string& error);
};

}  // namespace pelko
