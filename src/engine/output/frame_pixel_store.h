#pragma once
// The colour indices of an animation's frames while the animation is built:
// each frame's pixels packed with zlib into a scratch file beside the output
// (unnamed, gone when the build ends however it ends), so a build of
// thousands of large frames holds only the frames it is working on.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pelko {

class FramePixelStore {
public:
    // Throws OutputFileError ("PATH: reason") when no scratch file can be
    // made beside besidePath.
    explicit FramePixelStore(const std::string& besidePath);
    ~FramePixelStore();
    FramePixelStore(const FramePixelStore&) = delete;
    FramePixelStore& operator=(const FramePixelStore&) = delete;

    // The packed form of pixels; any thread.
    static std::vector<std::uint8_t> pack(std::span<const std::uint8_t> pixels);

    // Keeps packed pixels (of `size` bytes unpacked) as frame index's, in
    // place of any kept before. Calls from one thread at a time.
    void put(int index, std::span<const std::uint8_t> packed, std::size_t size);
    // Frame index's pixels; empty for a frame never put. Any thread, while
    // no put runs. Throws when the scratch file fails or its data is not
    // what was put.
    std::vector<std::uint8_t> get(int index) const;

private:
    struct Span {
        std::uint64_t offset = 0;
        std::uint64_t packedSize = 0;
        std::uint64_t size = 0;
    };
    std::string besidePath_;
    int fd_ = -1;
    std::uint64_t end_ = 0;
    std::vector<Span> spans_;
};

}  // namespace pelko
