#include "engine/export/bmp_bits.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "engine/export/export_settings.h"

namespace pelko {
namespace {

const Palette& standard16()
{
    static const Palette colors{rgb(0, 0, 0),       rgb(128, 0, 0),   rgb(0, 128, 0),   rgb(128, 128, 0),
                                rgb(0, 0, 128),     rgb(128, 0, 128), rgb(0, 128, 128), rgb(192, 192, 192),
                                rgb(128, 128, 128), rgb(255, 0, 0),   rgb(0, 255, 0),   rgb(255, 255, 0),
                                rgb(0, 0, 255),     rgb(255, 0, 255), rgb(0, 255, 255), rgb(255, 255, 255)};
    return colors;
}

// Nearest palette entry of a colour. Each cell of 8 x 8 x 8 colours keeps,
// once asked, the entries that can be nearest to some colour in it (those
// whose least distance to the cell is within the smallest greatest
// distance), so a search looks at a few entries instead of all; a small
// direct-mapped table remembers the answers, as photos repeat colours.
class NearestEntry {
public:
    explicit NearestEntry(const Palette& palette) : palette_(palette), cells_(kCells) { keys_.fill(kEmpty); }

    int operator()(Color c)
    {
        const std::size_t slot = (c ^ (c >> 11) ^ (c >> 19)) & (kSlots - 1);
        if (keys_[slot] != c) {
            keys_[slot] = c;
            values_[slot] = std::uint8_t(search(c));
        }
        return values_[slot];
    }

private:
    static constexpr std::size_t kSlots = 1 << 16;
    static constexpr std::size_t kCells = 1 << 15;
    static constexpr Color kEmpty = 0xFF000000;  // no 0x00BBGGRR colour has it

    // The least and greatest squared distance of value v to [lo, lo + 7].
    static int nearSide(int v, int lo)
    {
        const int d = v < lo ? lo - v : v > lo + 7 ? v - lo - 7 : 0;
        return d * d;
    }
    static int farSide(int v, int lo)
    {
        const int d = std::max(std::abs(v - lo), std::abs(v - lo - 7));
        return d * d;
    }

    const std::vector<std::uint8_t>& candidates(Color c)
    {
        const int r0 = redOf(c) & ~7, g0 = greenOf(c) & ~7, b0 = blueOf(c) & ~7;
        std::vector<std::uint8_t>& cell = cells_[std::size_t((r0 >> 3) | (g0 << 2) | (b0 << 7))];
        if (!cell.empty())
            return cell;
        int bound = 1 << 30;
        for (Color p : palette_)
            bound = std::min(bound, farSide(redOf(p), r0) + farSide(greenOf(p), g0) + farSide(blueOf(p), b0));
        for (std::size_t i = 0; i < palette_.size(); ++i) {
            const Color p = palette_[i];
            if (nearSide(redOf(p), r0) + nearSide(greenOf(p), g0) + nearSide(blueOf(p), b0) <= bound)
                cell.push_back(std::uint8_t(i));
        }
        return cell;
    }

    // ties go to the first entry: candidates are in palette order
    int search(Color c)
    {
        int best = 0;
        int bestDistance = 1 << 30;
        for (const std::uint8_t i : candidates(c)) {
            const int d = squaredDistance(palette_[i], c);
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        return best;
    }

    const Palette& palette_;
    std::vector<std::vector<std::uint8_t>> cells_;
    std::array<Color, kSlots> keys_{};
    std::array<std::uint8_t, kSlots> values_{};
};

Color pixelAt(const std::uint8_t* p)
{
    return rgb(p[2], p[1], p[0]);
}

std::uint16_t to555(const std::uint8_t* p)
{
    return std::uint16_t(((p[2] >> 3) << 10) | ((p[1] >> 3) << 5) | (p[0] >> 3));
}

std::uint8_t widen5(unsigned v)
{
    return std::uint8_t((v << 3) | (v >> 2));
}

void put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v)
{
    put16(p, v);
    put16(p + 2, v >> 16);
}

void checkBits(int bits)
{
    if (!isBmpBits(bits))
        throw std::invalid_argument("BMP: no pixel format of " + std::to_string(bits) + " bits");
}

}  // namespace

const Palette& bmpPalette(int bits)
{
    static const Palette none;
    switch (bits) {
        case 1: {
            static const Palette blackWhite{0x000000, 0xFFFFFF};
            return blackWhite;
        }
        case 4:
            return standard16();
        case 8:
            return halftonePalette256();
        default:
            return none;
    }
}

Picture bmpPixelFormatPreview(const Picture& picture, int bits)
{
    checkBits(bits);
    Picture out = picture;
    if (bits >= 24 || out.empty())
        return out;
    if (bits == 16) {
        for (int y = 0; y < out.height(); ++y) {
            std::uint8_t* p = out.row(y);
            for (int x = 0; x < out.width(); ++x, p += 3) {
                const unsigned v = to555(p);
                p[0] = widen5(v & 31);
                p[1] = widen5((v >> 5) & 31);
                p[2] = widen5(v >> 10);
            }
        }
        return out;
    }
    const Palette& palette = bmpPalette(bits);
    auto nearest = std::make_unique<NearestEntry>(palette);
    for (int y = 0; y < out.height(); ++y) {
        std::uint8_t* p = out.row(y);
        for (int x = 0; x < out.width(); ++x, p += 3) {
            const Color c = palette[std::size_t((*nearest)(pixelAt(p)))];
            p[0] = blueOf(c);
            p[1] = greenOf(c);
            p[2] = redOf(c);
        }
    }
    return out;
}

std::vector<std::uint8_t> encodeBmpBits(const Picture& picture, int bits)
{
    checkBits(bits);
    if (picture.empty())
        throw std::invalid_argument("BMP: the picture is empty");
    const Palette& palette = bmpPalette(bits);
    const std::uint64_t stride = (std::uint64_t(picture.width()) * std::uint64_t(bits) + 31) / 32 * 4;
    const std::uint64_t imageSize = stride * std::uint64_t(picture.height());
    const std::uint64_t offset = 54 + 4 * std::uint64_t(palette.size());
    const std::uint64_t fileSize = offset + imageSize;
    if (fileSize > 0xFFFFFFFFu)
        throw std::length_error("BMP: the picture is too large for a bitmap file");

    std::vector<std::uint8_t> out(std::size_t(fileSize), 0);
    std::uint8_t* h = out.data();
    h[0] = 'B';
    h[1] = 'M';
    put32(h + 2, std::uint32_t(fileSize));
    put32(h + 10, std::uint32_t(offset));
    put32(h + 14, 40);
    put32(h + 18, std::uint32_t(picture.width()));
    put32(h + 22, std::uint32_t(picture.height()));
    put16(h + 26, 1);
    put16(h + 28, std::uint32_t(bits));
    put32(h + 34, std::uint32_t(imageSize));
    put32(h + 38, 2835);  // 72 dpi
    put32(h + 42, 2835);
    put32(h + 46, std::uint32_t(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i) {
        std::uint8_t* e = h + 54 + 4 * i;
        e[0] = blueOf(palette[i]);
        e[1] = greenOf(palette[i]);
        e[2] = redOf(palette[i]);
    }

    auto nearest = palette.empty() ? nullptr : std::make_unique<NearestEntry>(palette);
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* p = picture.row(y);
        std::uint8_t* d = h + offset + std::size_t(picture.height() - 1 - y) * std::size_t(stride);
        switch (bits) {
            case 24:
                std::memcpy(d, p, picture.stride());
                break;
            case 32:
                for (int x = 0; x < picture.width(); ++x, p += 3, d += 4) std::memcpy(d, p, 3);
                break;
            case 16:
                for (int x = 0; x < picture.width(); ++x, p += 3, d += 2) put16(d, to555(p));
                break;
            default: {
                // indices packed from the most significant bits of each byte
                const int perByte = 8 / bits;
                for (int x = 0; x < picture.width(); ++x, p += 3) {
                    const int shift = bits * (perByte - 1 - x % perByte);
                    d[x / perByte] |= std::uint8_t((*nearest)(pixelAt(p)) << shift);
                }
            }
        }
    }
    return out;
}

}  // namespace pelko
