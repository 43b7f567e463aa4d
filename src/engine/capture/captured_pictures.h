#pragma once
// The pictures of one capture, in grab order, all of one size. Up to a
// memory budget they are kept as they are; past it each is packed (zlib, or
// zstd for a recording, which must keep up with the screen) into an unnamed
// scratch file in the temporary folder (gone when the list goes, however the
// program ends), so a long capture of a large area does not hold every full
// picture in memory.
//
// A recording also keeps each picture's time: the milliseconds from the
// start of the recording (pauses left out) at which it was grabbed, and the
// time the recording ended. A picture lasts until the next one was grabbed,
// so a grab that came late or was missed makes the picture before it last
// longer rather than inventing one.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/image/picture.h"

namespace pelko {

class FramePixelStore;

class CapturedPictures {
public:
    static constexpr std::size_t kDefaultMemoryBudget = std::size_t(256) << 20;

    // scratchFolder: where the scratch file goes ("" for the temporary folder).
    // The budget of a recording: smaller, as its pictures come many a second.
    static constexpr std::size_t kRecordingMemoryBudget = std::size_t(64) << 20;

    explicit CapturedPictures(std::size_t memoryBudget = kDefaultMemoryBudget,
                              std::string scratchFolder = {});
    ~CapturedPictures();
    CapturedPictures(const CapturedPictures&) = delete;
    CapturedPictures& operator=(const CapturedPictures&) = delete;

    // Appends a picture; every picture must have the first one's size
    // (std::invalid_argument otherwise). Throws OutputFileError when the
    // scratch file cannot be made or written.
    void add(const Picture& picture);
    // The same for a recording's picture grabbed atMs into it (not before
    // the picture before it).
    void add(const Picture& picture, std::int64_t atMs);
    // The end of the recording (not before its last picture).
    void setEndMs(std::int64_t endMs);
    // Whether the pictures carry their times (a recording's).
    bool timed() const { return !times_.empty(); }
    // Picture i's time in the file, in ms: for a recording from its grab to
    // the next one's (the last one's to the end), otherwise fixedMs. With a
    // unit (10 for a GIF's delays, the frame period for an AVI) the times
    // are first rounded to it on the recording's time line, so that the
    // durations add up to the recording's length.
    std::int64_t durationMs(int i, int fixedMs, int unitMs = 1) const;
    // When picture i was grabbed, ms into the recording (0 untimed).
    std::int64_t startMs(int i) const;
    std::int64_t endMs() const { return endMs_; }
    // Picture i (0-based) as it was added.
    Picture at(int i) const;
    int count() const { return count_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Frees every picture; the next ones are packed with zstd when
    // forRecording is set, with zlib otherwise.
    void clear(bool forRecording = false);

private:
    std::size_t budget_;
    std::string besidePath_;
    std::unique_ptr<FramePixelStore> store_;
    int count_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::size_t firstBudget_;
    std::vector<std::int64_t> times_;
    std::int64_t endMs_ = 0;
};

}  // namespace pelko
