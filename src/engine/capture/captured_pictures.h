#pragma once
// The pictures of one capture, in grab order, all of one size. Up to a
// memory budget they are kept as they are; past it each is packed with zlib
// into an unnamed scratch file in the temporary folder (gone when the list
// goes, however the program ends), so a long manual capture of a large area
// does not hold every full picture in memory.

#include <cstddef>
#include <memory>
#include <string>

#include "engine/image/picture.h"

namespace pelko {

class FramePixelStore;

class CapturedPictures {
public:
    static constexpr std::size_t kDefaultMemoryBudget = std::size_t(256) << 20;

    // scratchFolder: where the scratch file goes ("" for the temporary folder).
    explicit CapturedPictures(std::size_t memoryBudget = kDefaultMemoryBudget,
                              std::string scratchFolder = {});
    ~CapturedPictures();
    CapturedPictures(const CapturedPictures&) = delete;
    CapturedPictures& operator=(const CapturedPictures&) = delete;

    // Appends a picture; every picture must have the first one's size
    // (std::invalid_argument otherwise). Throws OutputFileError when the
    // scratch file cannot be made or written.
    void add(const Picture& picture);
    // Picture i (0-based) as it was added.
    Picture at(int i) const;
    int count() const { return count_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Frees every picture.
    void clear();

private:
    std::size_t budget_;
    std::string besidePath_;
    std::unique_ptr<FramePixelStore> store_;
    int count_ = 0;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace pelko
