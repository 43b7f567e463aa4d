#pragma once
// Helpers of the PNG tests: hand-made PNG files, libpng as the reference
// decoder, and our decoded pictures as RGB.

#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/png/png_bitmap.h"

namespace pelko::test {

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void put32(std::vector<std::uint8_t>& v, std::uint32_t x)
{
    for (int s = 24; s >= 0; s -= 8) v.push_back(std::uint8_t(x >> s));
}

inline void addChunk(std::vector<std::uint8_t>& f, const char* type, const std::vector<std::uint8_t>& data)
{
    put32(f, std::uint32_t(data.size()));
    const std::size_t start = f.size();
    f.insert(f.end(), type, type + 4);
    f.insert(f.end(), data.begin(), data.end());
    put32(f, std::uint32_t(crc32(0, f.data() + start, uInt(data.size() + 4))));
}

inline std::vector<std::uint8_t> ihdrData(std::uint32_t w, std::uint32_t h, int depth, int colorType,
                                          int interlace = 0)
{
    std::vector<std::uint8_t> d;
    put32(d, w);
    put32(d, h);
    d.insert(d.end(), {std::uint8_t(depth), std::uint8_t(colorType), 0, 0, std::uint8_t(interlace)});
    return d;
}

inline std::vector<std::uint8_t> deflateBytes(const std::vector<std::uint8_t>& raw)
{
    uLongf n = compressBound(uLong(raw.size()));
    std::vector<std::uint8_t> out(n);
    compress(out.data(), &n, raw.data(), uLong(raw.size()));
    out.resize(n);
    return out;
}

// A PNG with the given IHDR, chunks before the image data, and filtered rows.
inline std::vector<std::uint8_t> makePng(
    const std::vector<std::uint8_t>& ihdr,
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>>& before,
    const std::vector<std::uint8_t>& rows)
{
    std::vector<std::uint8_t> f = {137, 80, 78, 71, 13, 10, 26, 10};
    addChunk(f, "IHDR", ihdr);
    for (const auto& [type, data] : before) addChunk(f, type, data);
    addChunk(f, "IDAT", deflateBytes(rows));
    addChunk(f, "IEND", {});
    return f;
}

// Our picture as RGB bytes, top row first.
inline std::vector<std::uint8_t> bitmapRgb(const PngBitmap& b)
{
    std::vector<std::uint8_t> out;
    out.reserve(std::size_t(b.width) * b.height * 3);
    for (int y = 0; y < b.height; ++y) {
        const std::uint8_t* s = b.scanLine(y);
        for (int x = 0; x < b.width; ++x) {
            if (b.bitsPerPixel == 24) {
                out.insert(out.end(), {s[3 * x + 2], s[3 * x + 1], s[3 * x]});
                continue;
            }
            const unsigned i = b.index(s, x);
            const std::uint32_t c = i < b.palette.size() ? b.palette[i] : 0;
            out.insert(out.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)});
        }
    }
    return out;
}

struct LibpngImage {
    bool ok = false;
    int width = 0, height = 0;
    std::uint32_t gamma = 0;  // gAMA times 100000, 0 when absent
    std::vector<std::uint8_t> rgb;
};

// Decodes with libpng into 8-bit RGB: palettes and low bit depths expanded,
// 16-bit samples cut to their high byte, alpha dropped, no gamma applied.
// With keepAlpha the pixels are RGBA (opaque where the file has no alpha).
LibpngImage decodeWithLibpng(const std::vector<std::uint8_t>& file, bool keepAlpha = false);

}  // namespace pelko::test
