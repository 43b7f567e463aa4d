#pragma once
// Whether frames show the same picture: their rendered frame images
// (placement, mirror, grey and negative applied) compared pixel by pixel
// within a tolerance, through the project's frame cache and on every core.

#include <memory>
#include <string>
#include <vector>

#include "engine/base/progress.h"
#include "engine/image/picture.h"
#include "engine/project/project.h"

namespace pelko {

// The largest difference of any colour channel of any pixel a tool accepts
// between frames it treats as the same (0: identical pixels).
constexpr int kMaxTolerance = 255;

// Whether b drawn right after a leaves the screen as a left it, apart from
// pixels: same place and size, same GIF settings, and nothing of the screen
// under a let through again by its disposal.
bool sameFrameFields(const FrameRecord& a, const FrameRecord& b);

// Whether no channel of any pixel differs by more than tolerance; pictures
// of different sizes are never alike.
bool picturesAlike(const Picture& a, const Picture& b, int tolerance);

// Frames compared one pair at a time, for a walk along the list: the two
// pictures rendered last are kept for the next pair.
class FrameComparer {
public:
    explicit FrameComparer(const Project& project);
    ~FrameComparer();
    // Frames a and b (list indices) compared as above; frames whose pictures
    // are known equal by what they are made from are not rendered. A frame
    // that cannot be rendered is like no other; its log line goes into
    // problems().
    bool alike(int a, int b, int tolerance);
    const std::vector<std::string>& problems() const;

private:
    struct Inner;
    std::unique_ptr<Inner> inner_;
};

struct RepeatRuns {
    // For every position k of the scope, the position of the first frame of
    // its run: a frame joins the run before it when it follows the frame
    // before it in the list and shows what the run's first frame shows.
    std::vector<int> runStart;
    std::vector<std::string> problems;
    bool cancelled = false;
};

// The runs of repeated frames among scope (list indices, ascending).
// Progress counts the frames compared. jobs: threads (0: one per core); the
// result does not depend on it.
RepeatRuns findRepeatRuns(const Project& project, const std::vector<int>& scope, int tolerance,
                          ProgressSink& progress = noProgress(), int jobs = 0);

}  // namespace pelko
