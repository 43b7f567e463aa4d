#pragma once
// The frame pictures of the animated GIF's smaller-file mode (`bestPalette`):
// each frame's octree palette refined with k-means, the picture mapped to it
// with temporal stability against the frame before. Palettes are made on
// every worker at once; the mapping of a frame waits for the frame before,
// so the result never depends on the number of threads. Frames are asked
// for in list order, each once (a worker may ask for frame j while frame
// j - 1 is still being made on another).

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

#include "engine/gif/bitmap.h"
#include "engine/gif/palette_mapping.h"
#include "engine/project/project.h"

namespace pelko {

class SmallerGifFrames {
public:
    explicit SmallerGifFrames(const Project& project) : project_(project) {}

    // The picture to add for frame `index`: an 8-bit picture with its
    // palette, or `working` itself for a frame the mode leaves alone (a
    // colour reduction other than the octree's, or transparency).
    Bitmap frameBitmap(int index, const Bitmap& working);
    // Frame `index` failed before it was mapped: the frame after it goes on
    // without stability.
    void skip(int index);

private:
    std::shared_ptr<const ShownFrame> waitFor(int index);
    void publish(int index, std::shared_ptr<const ShownFrame> shown);

    const Project& project_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<int, std::shared_ptr<const ShownFrame>> done_;  // published, not yet taken
};

}  // namespace pelko
