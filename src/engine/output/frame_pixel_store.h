#pragma once
// The colour indices of an animation's frames while the animation is built.
// Up to a memory budget the pixels are kept as they are; past it each
// frame's pixels are packed with zlib into a scratch file beside the output
// (unnamed, gone when the build ends however it ends), so a build of
// thousands of large frames holds only the frames it is working on, and a
// short animation is not slowed down by packing.

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pelko {

class FramePixelStore {
public:
    static constexpr std::size_t kDefaultMemoryBudget = std::size_t(128) << 20;

    // How frames past the budget are packed: zlib's fastest level, or zstd's
    // (several times faster, for a store that must keep up with a screen
    // recording).
    enum class Packing { Zlib, Zstd };

    // The scratch file is made when the first frame goes past the budget;
    // failing to make it throws OutputFileError ("PATH: reason").
    explicit FramePixelStore(const std::string& besidePath, std::size_t memoryBudget = kDefaultMemoryBudget,
                             Packing packing = Packing::Zlib);
    ~FramePixelStore();
    FramePixelStore(const FramePixelStore&) = delete;
    FramePixelStore& operator=(const FramePixelStore&) = delete;

    // The packed form of pixels; any thread. (The packed form a put() takes
    // must be of the store's own packing.)
    static std::vector<std::uint8_t> pack(std::span<const std::uint8_t> pixels,
                                          Packing packing = Packing::Zlib);
    // Whether pixels of this size would be kept as they are if put now; any
    // thread (a worker packs in advance what will not be).
    bool keepsInMemory(std::size_t size) const;

    // Keeps the pixels as frame index's, in place of any kept before.
    // `packed` is their packed form when the caller made it, else empty.
    // Calls from one thread at a time.
    void put(int index, std::vector<std::uint8_t> pixels, std::vector<std::uint8_t> packed = {});
    // Keeps the packed form of `size` bytes of pixels as frame index's.
    void putPacked(int index, std::size_t size, const std::vector<std::uint8_t>& packed);
    // Frame index's pixels; empty for a frame never put. Any thread, while
    // no put runs. Throws when the scratch file fails or its data is not
    // what was put.
    std::vector<std::uint8_t> get(int index) const;

private:
    struct Entry {
        std::vector<std::uint8_t> pixels;  // kept as they are, or
        std::uint64_t offset = 0;          // packed in the scratch file
        std::uint64_t packedSize = 0;
        std::uint64_t size = 0;
    };
    // Entry index emptied (and made when missing), to hold size bytes.
    Entry& freshEntry(int index, std::size_t size);
    void writePacked(Entry& entry, const std::vector<std::uint8_t>& packed);

    std::string besidePath_;
    std::size_t budget_;
    Packing packing_;
    std::atomic<std::size_t> inMemory_{0};
    int fd_ = -1;
    std::uint64_t end_ = 0;
    std::vector<Entry> entries_;
};

}  // namespace pelko
