#include "engine/output/frame_pixel_store.h"

#include <unistd.h>
#include <zlib.h>
#include <zstd.h>

#include <cerrno>
#include <stdexcept>

#include "engine/base/output_file.h"

namespace pelko {

FramePixelStore::FramePixelStore(const std::string& besidePath, std::size_t memoryBudget, Packing packing)
    : besidePath_(besidePath), budget_(memoryBudget), packing_(packing)
{
}

FramePixelStore::~FramePixelStore()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::vector<std::uint8_t> FramePixelStore::pack(std::span<const std::uint8_t> pixels, Packing packing)
{
    if (pixels.empty())
        return {};
    if (packing == Packing::Zstd) {
        std::vector<std::uint8_t> packed(ZSTD_compressBound(pixels.size()));
        const std::size_t size = ZSTD_compress(packed.data(), packed.size(), pixels.data(), pixels.size(), 1);
        if (ZSTD_isError(size))
            throw std::runtime_error("Out of memory while packing a frame.");
        packed.resize(size);
        return packed;
    }
    uLongf size = compressBound(uLong(pixels.size()));
    std::vector<std::uint8_t> packed(size);
    // The fastest level: colour indices pack well, and the data lives only
    // for the length of a build.
    if (compress2(packed.data(), &size, pixels.data(), uLong(pixels.size()), 1) != Z_OK)
        throw std::runtime_error("Out of memory while packing a frame.");
    packed.resize(size);
    return packed;
}

bool FramePixelStore::keepsInMemory(std::size_t size) const
{
    return inMemory_.load() + size <= budget_;
}

FramePixelStore::Entry& FramePixelStore::freshEntry(int index, std::size_t size)
{
    if (index < 0)
        throw std::logic_error("negative frame index");
    if (std::size_t(index) >= entries_.size())
        entries_.resize(std::size_t(index) + 1);
    Entry& entry = entries_[std::size_t(index)];
    inMemory_ -= entry.pixels.size();
    entry = Entry();
    entry.size = size;
    return entry;
}

void FramePixelStore::put(int index, std::vector<std::uint8_t> pixels, std::vector<std::uint8_t> packed)
{
    Entry& entry = freshEntry(index, pixels.size());
    if (pixels.empty())
        return;
    if (packed.empty() && keepsInMemory(pixels.size())) {
        inMemory_ += pixels.size();
        entry.pixels = std::move(pixels);
        return;
    }
    writePacked(entry, packed.empty() ? pack(pixels, packing_) : packed);
}

void FramePixelStore::putPacked(int index, std::size_t size, const std::vector<std::uint8_t>& packed)
{
    if (size == 0 || packed.empty()) {
        put(index, {});
        return;
    }
    writePacked(freshEntry(index, size), packed);
}

void FramePixelStore::writePacked(Entry& entry, const std::vector<std::uint8_t>& packed)
{
    if (fd_ < 0) {
        fd_ = openScratchFile(besidePath_);
        if (fd_ < 0) {
            const int code = errno;
            throw OutputFileError(systemErrorText(besidePath_, code), code);
        }
    }
    std::size_t done = 0;
    while (done < packed.size()) {
        const ssize_t n = ::pwrite(fd_, packed.data() + done, packed.size() - done, off_t(end_ + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int code = n < 0 ? errno : ENOSPC;
            throw OutputFileError(systemErrorText(besidePath_, code), code);
        }
        done += std::size_t(n);
    }
    entry.offset = end_;
    entry.packedSize = packed.size();
    end_ += packed.size();
}

std::vector<std::uint8_t> FramePixelStore::get(int index) const
{
    if (index < 0 || std::size_t(index) >= entries_.size() || entries_[std::size_t(index)].size == 0)
        return {};
    const Entry& entry = entries_[std::size_t(index)];
    if (!entry.pixels.empty())
        return entry.pixels;
    std::vector<std::uint8_t> packed(entry.packedSize);
    std::size_t done = 0;
    while (done < packed.size()) {
        const ssize_t n =
            ::pread(fd_, packed.data() + done, packed.size() - done, off_t(entry.offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int code = n < 0 ? errno : EIO;
            throw OutputFileError(systemErrorText(besidePath_, code), code);
        }
        done += std::size_t(n);
    }
    std::vector<std::uint8_t> pixels(entry.size);
    bool whole = false;
    if (packing_ == Packing::Zstd) {
        const std::size_t size = ZSTD_decompress(pixels.data(), pixels.size(), packed.data(), packed.size());
        whole = !ZSTD_isError(size) && size == pixels.size();
    } else {
        uLongf size = uLongf(pixels.size());
        whole = uncompress(pixels.data(), &size, packed.data(), uLong(packed.size())) == Z_OK &&
                size == pixels.size();
    }
    if (!whole)
        throw std::runtime_error(besidePath_ + ": the working copy of a frame was damaged");
    return pixels;
}

}  // namespace pelko
