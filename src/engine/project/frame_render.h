#pragma once
// Rendering a frame from its source: reading the source picture a frame names
// and turning it into the frame image (compose, mirror, grey, negative).

#include <optional>
#include <string>

#include "engine/project/image_sources.h"

namespace pelko {

// Composes source with the frame's placement, then mirrors as Flip says, turns
// it grey when Gray is set and negative when Inverse is set. The frame image
// is replaced; the thumbnail is left alone.
void renderFrame(FrameRecord& frame, const Picture& source, const ProjectSettings& settings);

// Applies grey and negative to the frame image as the frame's flags say.
void applyColourEffects(FrameRecord& frame);

// The log line of a sub-image a GIF source does not hold: "Not found frame "
// + number + " in file " + file. Most commands show the number counted from
// 1, the flip and convert commands the stored number.
std::string notFoundFrameLine(const FrameRecord& frame, bool countFromOne);

enum class SourceStatus { Ok, MissingFile, MissingFrame, EmptyFrame, Unreadable };

struct LoadedSource {
    SourceStatus status = SourceStatus::Ok;
    Picture picture;
    Rect rect;          // the source's own rectangle: (0, 0, size) or the sub-image's on the GIF screen
    std::string error;  // the reader's message box text, if it failed
};

// Reads the picture that (file, frame) names, for commands that work through
// many frames. Keeps the last GIF file it read, so frames from one GIF do not
// read it again and again.
class SourceLoader {
public:
    explicit SourceLoader(SourceReader& reader) : reader_(reader) {}
    LoadedSource load(const std::string& file, int frame);
    // Number of sub-images of the GIF file last read (for log texts).
    std::size_t gifFrameCount() const { return gif_ ? gif_->frames.size() : 0; }

private:
    SourceReader& reader_;
    std::string gifPath_;
    std::optional<GifSource> gif_;
    std::string gifError_;
};

}  // namespace pelko
