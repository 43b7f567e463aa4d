#include "engine/avi/riff.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace pelko {

std::uint16_t readLe16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

std::uint32_t readLe32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

void writeLe32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

bool MemoryRiffSource::read(std::uint64_t offset, void* dst, std::size_t n)
{
    if (offset > bytes_.size() || n > bytes_.size() - offset)
        return false;
    if (n)
        std::memcpy(dst, bytes_.data() + offset, n);
    return true;
}

FileRiffSource::FileRiffSource(const std::string& path, bool writable)
{
    file_ = std::fopen(path.c_str(), writable ? "r+b" : "rb");
    if (!file_) {
        openError_ = errno;
        return;
    }
    struct stat st {};
    if (::fstat(fileno(file_), &st) == 0 && S_ISDIR(st.st_mode))
        openError_ = EISDIR;
    else if (fseeko(file_, 0, SEEK_END) != 0)
        openError_ = errno ? errno : EIO;
    if (openError_) {
        std::fclose(file_);
        file_ = nullptr;
        return;
    }
    const off_t end = ftello(file_);
    size_ = end > 0 ? std::uint64_t(end) : 0;
}

FileRiffSource::~FileRiffSource()
{
    close();
}

bool FileRiffSource::read(std::uint64_t offset, void* dst, std::size_t n)
{
    if (!file_ || offset > size_ || n > size_ - offset)
        return false;
    if (fseeko(file_, off_t(offset), SEEK_SET) != 0)
        return false;
    return std::fread(dst, 1, n, file_) == n;
}

bool FileRiffSource::write(std::uint64_t offset, const void* src, std::size_t n)
{
    if (!file_ || offset > size_ || n > size_ - offset || fseeko(file_, off_t(offset), SEEK_SET) != 0 ||
        std::fwrite(src, 1, n, file_) != n) {
        ok_ = false;
        return false;
    }
    return true;
}

bool FileRiffSource::close()
{
    if (file_) {
        if (std::fclose(file_) != 0)
            ok_ = false;
        file_ = nullptr;
    }
    return ok_;
}

std::optional<RiffChunk> readChunkHeader(RiffSource& src, std::uint64_t offset, std::uint64_t end)
{
    end = std::min(end, src.size());
    if (offset > end || end - offset < 8)
        return std::nullopt;
    std::uint8_t h[12] = {};
    if (!src.read(offset, h, 8))
        return std::nullopt;
    RiffChunk c;
    c.id = readLe32(h);
    c.size = readLe32(h + 4);
    c.offset = offset;
    c.dataOffset = offset + 8;
    c.available = std::min<std::uint64_t>(c.size, end - c.dataOffset);
    if ((c.id == fourCC("RIFF") || c.id == fourCC("LIST")) && c.available >= 4 &&
        src.read(c.dataOffset, h + 8, 4))
        c.form = readLe32(h + 8);
    return c;
}

std::optional<RiffChunk> findChunk(RiffSource& src, std::uint64_t begin, std::uint64_t end, std::uint32_t id,
                                   std::uint32_t form)
{
    std::uint64_t pos = begin;
    while (auto c = readChunkHeader(src, pos, end)) {
        if ((id == 0 || c->id == id) && (form == 0 || c->form == form))
            return c;
        // 64-bit arithmetic: a declared size near 4 GiB cannot wrap around.
        pos = c->dataOffset + c->size + (c->size & 1u);
    }
    return std::nullopt;
}

}  // namespace pelko
