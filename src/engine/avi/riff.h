#pragma once
// The engine's RIFF chunk walker, used to read WAV files and to rewrite fields
// of AVI headers in place. Every size a file declares is checked against the
// bytes that are really there before it is used.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

namespace pelko {

// A four-character code, first character in the lowest byte (as stored).
constexpr std::uint32_t fourCC(const char (&s)[5])
{
    return std::uint32_t(std::uint8_t(s[0])) | std::uint32_t(std::uint8_t(s[1])) << 8 |
           std::uint32_t(std::uint8_t(s[2])) << 16 | std::uint32_t(std::uint8_t(s[3])) << 24;
}

// Random access to the bytes of a RIFF file.
class RiffSource {
public:
    virtual ~RiffSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads n bytes at offset; false when they are not all there.
    virtual bool read(std::uint64_t offset, void* dst, std::size_t n) = 0;
};

class MemoryRiffSource : public RiffSource {
public:
    explicit MemoryRiffSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    bool read(std::uint64_t offset, void* dst, std::size_t n) override;

private:
    std::span<const std::uint8_t> bytes_;
};

// A file opened for reading, or for reading and writing in place. A folder
// does not open (EISDIR).
class FileRiffSource : public RiffSource {
public:
    explicit FileRiffSource(const std::string& path, bool writable = false);
    ~FileRiffSource() override;
    FileRiffSource(const FileRiffSource&) = delete;
    FileRiffSource& operator=(const FileRiffSource&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // The system's error number when the file did not open.
    int openError() const { return openError_; }
    std::uint64_t size() const override { return size_; }
    bool read(std::uint64_t offset, void* dst, std::size_t n) override;
    bool write(std::uint64_t offset, const void* src, std::size_t n);
    // Flushes and closes; false when a write did not reach the file.
    bool close();

private:
    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    int openError_ = 0;
    bool ok_ = true;
};

struct RiffChunk {
    std::uint32_t id = 0;
    std::uint32_t size = 0;        // size as the header declares it
    std::uint64_t offset = 0;      // of the chunk header
    std::uint64_t dataOffset = 0;  // offset + 8
    std::uint64_t available = 0;   // data bytes really present inside the parent
    std::uint32_t form = 0;        // form or list type of RIFF and LIST chunks, else 0

    // Where the data the file really holds ends.
    std::uint64_t dataEnd() const { return dataOffset + available; }
    // The first byte inside a RIFF or LIST chunk after its form type.
    std::uint64_t contentOffset() const { return dataOffset + 4; }
};

// Reads the chunk header at offset when all 8 bytes lie before end; the data
// size is clamped to end.
std::optional<RiffChunk> readChunkHeader(RiffSource& src, std::uint64_t offset, std::uint64_t end);

// Walks the chunks from begin on (each followed by its pad byte when its size is
// odd) and returns the first whose id is id (any id when id is 0) and, when
// form is not 0, whose form type is form. The walk stops at end or the end of
// the source, whichever comes first.
std::optional<RiffChunk> findChunk(RiffSource& src, std::uint64_t begin, std::uint64_t end, std::uint32_t id,
                                   std::uint32_t form = 0);

std::uint16_t readLe16(const std::uint8_t* p);
std::uint32_t readLe32(const std::uint8_t* p);
void writeLe32(std::uint8_t* p, std::uint32_t v);

}  // namespace pelko
