#include "engine/image/bmp_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "engine/image/pixel_budget.h"

namespace pelko {

namespace {

[[noreturn]] void bad(const char* what)
{
    throw BmpError(std::string("BMP: ") + what);
}

std::uint16_t le16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}
std::uint32_t le32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

// One colour channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    void set(std::uint32_t m)
    {
        mask = m;
        shift = m ? std::countr_zero(m) : 0;
        bits = m ? std::popcount(m >> shift) : 0;  // holes in a mask are read as if filled
    }
    std::uint8_t get(std::uint32_t pixel) const
    {
        if (!bits)
            return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return std::uint8_t(v >> (bits - 8));
        const std::uint32_t max = (1u << bits) - 1;
        return std::uint8_t((v * 255 + max / 2) / max);
    }
};

struct Dib {
    std::int64_t width = 0;
    std::int64_t height = 0;  // rows in the pixel data
    bool topDown = false;
    int bits = 0;
    std::uint32_t compression = kRgb;
    Channel red, green, blue, alpha;
    std::vector<Color> palette;
    std::size_t pixels = 0;  // offset of the pixel data
};

// Reads the info header at pos (and the masks and colour table after it).
// pixelOffset is where the pixels start, or 0 when they follow the colour table.
// Nothing is made for the pixels here: the callers check the size against
// the pixel budget first.
Dib parseDib(const std::uint8_t* data, std::size_t size, std::size_t pos, std::size_t pixelOffset)
{
    if (pos > size || size - pos < 12)
        bad("header is cut short");
    const std::uint32_t headerSize = le32(data + pos);
    const bool core = headerSize == 12;
    if (!core && !(headerSize >= 16 && headerSize <= 64) && headerSize != 108 && headerSize != 124)
        bad("unknown header size");
    if (size - pos < headerSize)
        bad("header is cut short");
    const std::uint8_t* h = data + pos;
    Dib d;
    int planes;
    if (core) {
        d.width = le16(h + 4);
        d.height = le16(h + 6);
        planes = le16(h + 8);
        d.bits = le16(h + 10);
    } else {
        d.width = std::int32_t(le32(h + 4));
        d.height = std::int32_t(le32(h + 8));
        planes = le16(h + 12);
        d.bits = le16(h + 14);
        d.compression = headerSize >= 20 ? le32(h + 16) : kRgb;
    }
    const bool os2v2 = !core && headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize < 108;
    std::uint32_t colorsUsed = headerSize >= 36 ? le32(h + 32) : 0;
    if (planes != 1)
        bad("planes must be 1");
    if (d.height < 0) {
        d.topDown = true;
        d.height = -d.height;
    }
    if (d.width <= 0 || d.height <= 0)
        bad("width or height is not positive");
    switch (d.bits) {
        case 1:
        case 2:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            break;
        default:
            bad("unsupported bits per pixel");
    }
    switch (d.compression) {
        case kRgb:
            break;
        case kRle8:
            if (d.bits != 8)
                bad("RLE8 needs 8 bits per pixel");
            break;
        case kRle4:
            if (d.bits != 4)
                bad("RLE4 needs 4 bits per pixel");
            break;
        case kBitFields:
        case kAlphaBitFields:
            if (os2v2 || (d.bits != 16 && d.bits != 32))
                bad("unsupported compression");
            break;
        default:
            bad("unsupported compression");
    }
    if (d.topDown && (d.compression == kRle8 || d.compression == kRle4))
        bad("compressed bitmaps cannot be top-down");

    std::size_t next = pos + headerSize;
    if (d.compression == kBitFields || d.compression == kAlphaBitFields) {
        const std::size_t maskBytes = d.compression == kAlphaBitFields ? 16 : 12;
        const std::uint8_t* m;
        if (headerSize >= 40 + maskBytes) {
            m = h + 40;
        } else {
            if (size - next < maskBytes)
                bad("bit masks are cut short");
            m = data + next;
            next += maskBytes;
        }
        d.red.set(le32(m));
        d.green.set(le32(m + 4));
        d.blue.set(le32(m + 8));
        if (maskBytes == 16)
            d.alpha.set(le32(m + 12));
    } else if (d.bits == 16) {
        d.red.set(0x7C00);
        d.green.set(0x03E0);
        d.blue.set(0x001F);
    } else if (d.bits >= 24) {
        d.red.set(0xFF0000);
        d.green.set(0x00FF00);
        d.blue.set(0x0000FF);
    }

    const std::size_t entrySize = core ? 3 : 4;
    if (d.bits <= 8) {
        const std::size_t maxEntries = std::size_t(1) << d.bits;
        std::size_t count = colorsUsed && colorsUsed < maxEntries ? colorsUsed : maxEntries;
        // Only entries that lie inside the data (and before the pixels) are read.
        const std::size_t end = pixelOffset > next ? std::min(pixelOffset, size) : size;
        count = std::min(count, end > next ? (end - next) / entrySize : 0);
        d.palette.assign(maxEntries, 0);
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* e = data + next + i * entrySize;
            d.palette[i] = rgb(e[2], e[1], e[0]);
        }
        if (!pixelOffset) {
            const std::size_t declared = colorsUsed && colorsUsed <= maxEntries ? colorsUsed : maxEntries;
            next += declared * entrySize;
        }
    }
    d.pixels = pixelOffset ? pixelOffset : next;
    if (d.pixels >= size)
        bad("no pixel data");
    return d;
}

std::size_t rowStride(const Dib& d)
{
    return (std::size_t(d.width) * std::size_t(d.bits) + 31) / 32 * 4;
}

void putColor(std::uint8_t* p, Color c)
{
    p[0] = blueOf(c);
    p[1] = greenOf(c);
    p[2] = redOf(c);
}

// Uncompressed rows. alpha, when given, receives the 32-bit alpha channel.
void decodeRows(const Dib& d, const std::uint8_t* data, std::size_t size, Picture& pic,
                std::vector<std::uint8_t>* alpha)
{
    const std::size_t stride = rowStride(d);
    const int w = int(d.width);
    for (int r = 0; r < int(d.height); ++r) {
        const int y = d.topDown ? r : int(d.height) - 1 - r;
        const std::uint8_t* s = data + d.pixels + std::size_t(r) * stride;
        std::uint8_t* o = pic.row(y);
        switch (d.bits) {
            case 1:
            case 2:
            case 4:
            case 8: {
                const int bits = d.bits;
                const unsigned mask = (1u << bits) - 1;
                for (int x = 0; x < w; ++x, o += 3) {
                    const std::size_t bit = std::size_t(x) * std::size_t(bits);
                    const unsigned index = (s[bit >> 3] >> (8 - bits - int(bit & 7))) & mask;
                    putColor(o, d.palette[index]);
                }
                break;
            }
            case 24:
                if (d.red.mask == 0xFF0000 && d.green.mask == 0xFF00 && d.blue.mask == 0xFF) {
                    std::memcpy(o, s, std::size_t(w) * 3);
                    break;
                }
                [[fallthrough]];
            default:
                for (int x = 0; x < w; ++x, o += 3) {
                    std::uint32_t px;
                    if (d.bits == 16)
                        px = le16(s + 2 * x);
                    else if (d.bits == 24)
                        px = std::uint32_t(s[3 * x]) | std::uint32_t(s[3 * x + 1]) << 8 |
                             std::uint32_t(s[3 * x + 2]) << 16;
                    else
                        px = le32(s + 4 * x);
                    o[0] = d.blue.get(px);
                    o[1] = d.green.get(px);
                    o[2] = d.red.get(px);
                    if (alpha && d.bits == 32)
                        (*alpha)[std::size_t(y) * std::size_t(w) + std::size_t(x)] = std::uint8_t(px >> 24);
                }
        }
    }
}

// RLE8 and RLE4: runs are clipped to the picture; pixels the data skips keep
// colour 0 of the table.
void decodeRle(const Dib& d, const std::uint8_t* data, std::size_t size, Picture& pic)
{
    pic.fill(d.palette[0]);
    const bool four = d.compression == kRle4;
    const std::int64_t w = d.width, h = d.height;
    std::int64_t x = 0, row = 0;  // row 0 is the bottom one
    auto put = [&](unsigned index) {
        if (x < w && row < h)
            putColor(pic.row(int(h - 1 - row)) + x * 3, d.palette[index & (four ? 0xF : 0xFF)]);
        ++x;
    };
    std::size_t p = d.pixels;
    while (row < h && size - p >= 2) {
        const unsigned count = data[p], value = data[p + 1];
        p += 2;
        if (count) {
            for (unsigned i = 0; i < count && x < w; ++i)
                put(four ? (i & 1 ? value & 0xF : value >> 4) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++row;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta
            if (size - p < 2)
                break;
            x += data[p];
            row += data[p + 1];
            p += 2;
        } else {  // absolute run of value pixels, padded to a 16-bit boundary
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            const std::size_t padded = (bytes + 1) & ~std::size_t(1);
            if (size - p < bytes)
                break;
            for (unsigned i = 0; i < value; ++i)
                put(four ? (i & 1 ? data[p + i / 2] & 0xF : data[p + i / 2] >> 4) : data[p + i]);
            p += std::min(padded, size - p);
        }
    }
}

// The file header, then the info header.
Dib parseBmpFile(const std::uint8_t* data, std::size_t size)
{
    if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M')
        bad("not a bitmap file");
    const std::uint32_t offset = le32(data + 10);
    if (offset < 14 + 12 || offset >= size)
        bad("pixel offset lies outside the file");
    return parseDib(data, size, 14, offset);
}

void checkBudget(std::int64_t width, std::int64_t height)
{
    if (!withinPixelBudget(width, height))
        throw BmpError(pictureTooLargeMessage(width, height));
}

// An icon's bitmap: its header, and the height of its colour picture.
struct IconLayout {
    Dib dib;
    std::int64_t height;
};

IconLayout iconLayout(const std::uint8_t* data, std::size_t size)
{
    IconLayout icon{parseDib(data, size, 0, 0), 0};
    const Dib& d = icon.dib;
    if (d.compression != kRgb && d.compression != kBitFields)
        bad("icons hold uncompressed bitmaps");
    if (d.topDown)
        bad("icons are stored bottom-up");
    // The header counts the colour picture and the mask; a few icons give
    // only the picture's own height.
    const std::size_t stride = rowStride(d);
    const std::size_t maskStride = (std::size_t(d.width) + 31) / 32 * 4;
    icon.height = d.height / 2;
    const std::size_t avail = size - d.pixels;
    if (icon.height == 0 || std::uint64_t(stride + maskStride) * std::uint64_t(icon.height) > avail)
        icon.height = d.height;
    return icon;
}

// What an RLE bitmap may declare beyond what its runs can cover.
constexpr std::uint64_t kRlePixelsPerByte = 128;
constexpr std::uint64_t kRleSkippedPixels = std::uint64_t(1) << 22;

Picture decodeDib(const Dib& d, const std::uint8_t* data, std::size_t size, std::int64_t height,
                  std::vector<std::uint8_t>* alpha)
{
    const bool rle = d.compression == kRle8 || d.compression == kRle4;
    checkBudget(d.width, height);
    if (rle) {
        // An encoded run gives at most 255 pixels for 2 bytes. Pixels that
        // the data skips (by a delta or an early end) cost nothing, but a
        // large picture made almost wholly of them is a file that lacks its
        // data: it is refused before the picture is made.
        const std::uint64_t pixels = std::uint64_t(d.width) * std::uint64_t(height);
        if (pixels > kRleSkippedPixels && pixels > kRlePixelsPerByte * std::uint64_t(size - d.pixels))
            bad("pixel data is cut short");
    } else {
        // Every row must be there (the padding of the last one excepted)
        // before the picture is made.
        const std::size_t lastRow = (std::size_t(d.width) * std::size_t(d.bits) + 7) / 8;
        if (std::uint64_t(rowStride(d)) * std::uint64_t(height - 1) + lastRow > size - d.pixels)
            bad("pixel data is cut short");
    }
    Picture pic(int(d.width), int(height));
    if (rle) {
        decodeRle(d, data, size, pic);
    } else {
        if (alpha)
            alpha->assign(std::size_t(d.width) * std::size_t(height), 0);
        decodeRows(d, data, size, pic, alpha);
    }
    return pic;
}

}  // namespace

PictureSize bmpPictureSize(const std::uint8_t* data, std::size_t size)
{
    const Dib d = parseBmpFile(data, size);
    return {d.width, d.height};
}

PictureSize iconDibPictureSize(const std::uint8_t* data, std::size_t size)
{
    const IconLayout icon = iconLayout(data, size);
    return {icon.dib.width, icon.height};
}

Picture decodeBmp(const std::uint8_t* data, std::size_t size)
{
    const Dib d = parseBmpFile(data, size);
    checkBudget(d.width, d.height);
    return decodeDib(d, data, size, d.height, nullptr);
}

Picture decodeIconDib(const std::uint8_t* data, std::size_t size)
{
    const IconLayout icon = iconLayout(data, size);
    const Dib& d = icon.dib;
    const std::int64_t height = icon.height;
    checkBudget(d.width, (d.height + 1) / 2);  // the picture as the header gives it, before the mask's half
    checkBudget(d.width, height);
    const std::size_t stride = rowStride(d);
    const std::size_t maskStride = (std::size_t(d.width) + 31) / 32 * 4;
    Dib colour = d;
    colour.height = height;
    std::vector<std::uint8_t> alpha;
    Picture pic = decodeDib(colour, data, size, height, d.bits == 32 ? &alpha : nullptr);
    const int w = pic.width(), hgt = pic.height();

    const bool hasAlpha = std::any_of(alpha.begin(), alpha.end(), [](std::uint8_t a) { return a != 0; });
    if (hasAlpha) {
        // Drawn on white with the alpha channel.
        for (int y = 0; y < hgt; ++y) {
            std::uint8_t* p = pic.row(y);
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c, ++p) {
                    const unsigned a = alpha[std::size_t(y) * std::size_t(w) + std::size_t(x)];
                    *p = std::uint8_t((*p * a + 255 * (255 - a) + 127) / 255);
                }
        }
        return pic;
    }
    const std::size_t maskStart = d.pixels + stride * std::size_t(height);
    if (maskStart > size || (size - maskStart) / maskStride < std::size_t(height))
        return pic;  // no mask: every pixel is opaque
    for (int r = 0; r < hgt; ++r) {
        const std::uint8_t* m = data + maskStart + std::size_t(r) * maskStride;
        std::uint8_t* p = pic.row(hgt - 1 - r);
        for (int x = 0; x < w; ++x)
            if ((m[x >> 3] >> (7 - (x & 7))) & 1)
                std::memset(p + 3 * x, 0xFF, 3);
    }
    return pic;
}

}  // namespace pelko
