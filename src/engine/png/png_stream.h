#pragma once
// Byte-level helpers shared by the PNG reader and writer.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelko::png {

constexpr std::uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

inline std::uint32_t be32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

inline void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(std::uint8_t(v >> 24));
    out.push_back(std::uint8_t(v >> 16));
    out.push_back(std::uint8_t(v >> 8));
    out.push_back(std::uint8_t(v));
}

// One chunk as it lies in the file.
struct RawChunk {
    std::uint32_t length = 0;
    const std::uint8_t* type = nullptr;  // 4 bytes, followed by the data
    const std::uint8_t* data = nullptr;
    std::size_t next = 0;  // offset of the following chunk
    bool is(const char* t) const
    {
        return type[0] == std::uint8_t(t[0]) && type[1] == std::uint8_t(t[1]) &&
               type[2] == std::uint8_t(t[2]) && type[3] == std::uint8_t(t[3]);
    }
};

// Reads the chunk at pos: EPngUnexpectedEnd when it does not fit in the
// file, EPngInvalidCRC when checkCrc is set and its CRC is wrong.
RawChunk readChunk(const std::uint8_t* file, std::size_t size, std::size_t pos, bool checkCrc);
// Appends length, type, data and CRC.
void writeChunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data,
                std::size_t length);

}  // namespace pelko::png
