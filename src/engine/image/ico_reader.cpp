#include "engine/image/ico_reader.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/image/bmp_reader.h"
#include "engine/image/png_picture.h"

namespace pelko {

namespace {

// Entries decoded at most: the best one, and when it fails the next best.
constexpr std::size_t kEntriesTried = 2;

struct Entry {
    int width, height;
    int bits;  // colour depth for choosing between entries of one size
    std::size_t offset, length;
};

std::uint32_t le32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

int depthOf(const std::uint8_t* e)
{
    const int bitCount = e[6] | e[7] << 8;
    if (bitCount)
        return bitCount;
    const int colours = e[2];
    if (colours == 0)
        return 8;
    int bits = 0;
    while ((1 << bits) < colours) ++bits;
    return bits;
}

const std::uint8_t kPngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

bool holdsPng(const std::uint8_t* p, std::size_t length)
{
    return length >= 8 && std::memcmp(p, kPngSignature, 8) == 0;
}

// The entries to try, best first: the directory alone decides, and only the
// best few entries with data of their own are kept, so a directory of many
// entries costs no more than reading the directory.
std::vector<Entry> candidates(const std::uint8_t* data, std::size_t size)
{
    if (size < 6 || data[0] != 0 || data[1] != 0 || (data[2] != 1 && data[2] != 2) || data[3] != 0)
        throw IcoError("ICO: not an icon file");
    const std::size_t count = std::size_t(data[4] | data[5] << 8);
    if (count == 0)
        throw IcoError("ICO: the icon holds no pictures");
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < count && 6 + 16 * (i + 1) <= size; ++i) {
        const std::uint8_t* e = data + 6 + 16 * i;
        Entry entry{e[0] ? e[0] : 256, e[1] ? e[1] : 256, depthOf(e), le32(e + 12), le32(e + 8)};
        if (entry.offset < size && entry.length > 0 && entry.length <= size - entry.offset)
            entries.push_back(entry);
    }
    if (entries.empty())
        throw IcoError("ICO: no picture lies inside the file");
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const long areaA = long(a.width) * a.height, areaB = long(b.width) * b.height;
        return areaA != areaB ? areaA > areaB : a.bits > b.bits;
    });
    std::vector<Entry> chosen;
    for (const Entry& e : entries) {
        const bool seen = std::any_of(chosen.begin(), chosen.end(), [&](const Entry& c) {
            return c.offset == e.offset && c.length == e.length;
        });
        if (!seen)
            chosen.push_back(e);
        if (chosen.size() == kEntriesTried)
            break;
    }
    return chosen;
}

// Tries read on the candidates in order and gives the first result; when
// every one fails, the best entry's reason.
template <class Result, class Read>
Result firstThatReads(const std::uint8_t* data, std::size_t size, Read read)
{
    std::string firstError;
    for (const Entry& e : candidates(data, size)) {
        try {
            return read(data + e.offset, e.length);
        } catch (const std::exception& ex) {
            // A damaged entry: try the next best.
            if (firstError.empty())
                firstError = ex.what();
        }
    }
    throw IcoError("ICO: " + firstError);
}

}  // namespace

Picture decodeIco(const std::uint8_t* data, std::size_t size)
{
    return firstThatReads<Picture>(data, size, [](const std::uint8_t* p, std::size_t length) {
        if (holdsPng(p, length)) {
            TPNGObject png;
            loadPngWithinBudget(png, p, length);
            return pictureOnWhite(png);
        }
        return decodeIconDib(p, length);
    });
}

PictureSize icoPictureSize(const std::uint8_t* data, std::size_t size)
{
    return firstThatReads<PictureSize>(data, size, [](const std::uint8_t* p, std::size_t length) {
        if (holdsPng(p, length)) {
            TPNGObject png;
            png.LoadHeaderFromStream(p, length);
            return PictureSize{png.Width(), png.Height()};
        }
        return iconDibPictureSize(p, length);
    });
}

}  // namespace pelko
