#pragma once
// The frame pictures of the animated GIF's smaller-file mode (`bestPalette`):
// each frame keeps what the frame before left on the screen wherever that is
// close enough to its picture (the closeness from the lossy strength), and
// gets a palette made for the rest only: the octree's palette of the pixels
// that changed since the frame before, refined with k-means. Palettes are
// made on every worker at once; the mapping of a frame waits for the frame
// before, so the result never depends on the number of threads. Frames are
// asked for in list order, each once (a worker may ask for frame j while
// frame j - 1 is still being made on another).

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/colour/bitmap.h"
#include "engine/colour/palette_mapping.h"
#include "engine/project/project.h"

namespace pelko {

class SmallerGifFrames {
public:
    // strength: the lossy strength, 0 to 100.
    SmallerGifFrames(const Project& project, int strength);

    // The picture to add for frame `index`: an 8-bit picture with its
    // palette (and the pixels it keeps as transparent ones), or `working`
    // itself for a frame the mode leaves alone (a colour reduction other
    // than the octree's, or transparency).
    Bitmap frameBitmap(int index, const Bitmap& working);
    // Frame `index` failed before it was mapped: the frame after it goes on
    // without the frame before.
    void skip(int index);

private:
    using Colors = std::vector<Color>;
    struct Slot {
        bool hasSource = false, hasShown = false;
        std::shared_ptr<const Colors> source;
        std::shared_ptr<const ShownFrame> shown;
    };
    class Publishing;

    // Whether frame `index` is drawn over what frame index - 1 left: the
    // same rectangle, and the frame before not disposed of.
    bool follows(int index) const;
    std::shared_ptr<const Colors> takeSource(int index);
    std::shared_ptr<const ShownFrame> takeShown(int index);
    void putSource(int index, std::shared_ptr<const Colors> source);
    void putShown(int index, std::shared_ptr<const ShownFrame> shown);

    const Project& project_;
    const KeepRule keep_;
    const double changed_;       // a source pixel that moved more than this changed
    const double paletteError_;  // the mean error (RGB distance) a palette may leave
    std::mutex mutex_;
    std::condition_variable published_;
    std::map<int, Slot> slots_;  // published, not yet taken by the frame after
};

}  // namespace pelko
