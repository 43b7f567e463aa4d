#include "engine/output/frame_pixel_store.h"

#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <stdexcept>

#include "engine/base/output_file.h"

namespace pelko {

FramePixelStore::FramePixelStore(const std::string& besidePath) : besidePath_(besidePath)
{
    fd_ = openScratchFile(besidePath);
    if (fd_ < 0) {
        const int code = errno;
        throw OutputFileError(systemErrorText(besidePath, code), code);
    }
}

FramePixelStore::~FramePixelStore()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::vector<std::uint8_t> FramePixelStore::pack(std::span<const std::uint8_t> pixels)
{
    if (pixels.empty())
        return {};
    uLongf size = compressBound(uLong(pixels.size()));
    std::vector<std::uint8_t> packed(size);
    // The fastest level: colour indices pack well, and the data lives only
    // for the length of a build.
    if (compress2(packed.data(), &size, pixels.data(), uLong(pixels.size()), 1) != Z_OK)
        throw std::runtime_error("Out of memory while packing a frame.");
    packed.resize(size);
    return packed;
}

void FramePixelStore::put(int index, std::span<const std::uint8_t> packed, std::size_t size)
{
    if (index < 0)
        throw std::logic_error("negative frame index");
    if (std::size_t(index) >= spans_.size())
        spans_.resize(std::size_t(index) + 1);
    Span span{end_, packed.size(), size};
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
    end_ += packed.size();
    spans_[std::size_t(index)] = span;
}

std::vector<std::uint8_t> FramePixelStore::get(int index) const
{
    if (index < 0 || std::size_t(index) >= spans_.size() || spans_[std::size_t(index)].size == 0)
        return {};
    const Span& span = spans_[std::size_t(index)];
    std::vector<std::uint8_t> packed(span.packedSize);
    std::size_t done = 0;
    while (done < packed.size()) {
        const ssize_t n = ::pread(fd_, packed.data() + done, packed.size() - done, off_t(span.offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int code = n < 0 ? errno : EIO;
            throw OutputFileError(systemErrorText(besidePath_, code), code);
        }
        done += std::size_t(n);
    }
    std::vector<std::uint8_t> pixels(span.size);
    uLongf size = uLongf(pixels.size());
    if (uncompress(pixels.data(), &size, packed.data(), uLong(packed.size())) != Z_OK ||
        size != pixels.size())
        throw std::runtime_error(besidePath_ + ": the working copy of a frame was damaged");
    return pixels;
}

}  // namespace pelko
