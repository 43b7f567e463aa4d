// The image data of a PNG: inflating and unfiltering IDAT rows into the
// decoded picture, and filtering and deflating the picture into IDAT chunks.

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "engine/png/png_filters.h"
#include "engine/png/png_object.h"
#include "engine/png/png_stream.h"

namespace pelko {

namespace {

struct Pass {
    int x0, y0, dx, dy;
};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
constexpr Pass kWhole = {0, 0, 1, 1};

std::uint32_t passSpan(std::uint32_t size, int start, int step)
{
    return size > std::uint32_t(start)
               ? (size - std::uint32_t(start) + std::uint32_t(step) - 1) / std::uint32_t(step)
               : 0;
}

std::size_t rowBytesFor(std::uint32_t pixels, int pixelBits)
{
    return (std::size_t(pixels) * std::size_t(pixelBits) + 7) / 8;
}

// A pass of the image (the whole image without interlace) that holds pixels.
struct PassRows {
    Pass pass;
    std::uint32_t width, height;
    std::size_t rowBytes;
};

std::vector<PassRows> nonEmptyPasses(const TChunkIHDR& h, bool interlaced)
{
    std::vector<PassRows> out;
    for (const Pass& p : interlaced ? std::vector<Pass>(kAdam7, kAdam7 + 7) : std::vector<Pass>{kWhole}) {
        const std::uint32_t pw = passSpan(h.width, p.x0, p.dx);
        const std::uint32_t ph = passSpan(h.height, p.y0, p.dy);
        if (pw && ph)
            out.push_back({p, pw, ph, rowBytesFor(pw, h.filePixelBits())});
    }
    return out;
}

std::size_t widestRow(const std::vector<PassRows>& passes)
{
    std::size_t widest = 0;
    for (const PassRows& p : passes) widest = std::max(widest, p.rowBytes);
    return widest;
}

// Sample i of a packed row of 1, 2 or 4-bit samples, most significant bits first.
inline unsigned packedSample(const std::uint8_t* row, std::size_t i, int depth)
{
    const std::size_t bit = i * std::size_t(depth);
    return (row[bit >> 3] >> (8 - depth - int(bit & 7))) & ((1u << depth) - 1);
}

inline void putPackedSample(std::uint8_t* row, std::size_t i, int depth, unsigned v)
{
    const std::size_t bit = i * std::size_t(depth);
    const int shift = 8 - depth - int(bit & 7);
    const unsigned mask = ((1u << depth) - 1) << shift;
    row[bit >> 3] = std::uint8_t((row[bit >> 3] & ~mask) | ((v << shift) & mask));
}

// Index of pixel x of a 1, 4 or 8-bit picture row.
inline unsigned pictureIndex(const std::uint8_t* row, int x, int bits)
{
    return bits == 8 ? row[x] : packedSample(row, std::size_t(x), bits);
}

inline void setPictureIndex(std::uint8_t* row, int x, int bits, unsigned v)
{
    if (bits == 8)
        row[x] = std::uint8_t(v);
    else
        putPackedSample(row, std::size_t(x), bits, v);
}

// Puts one unfiltered row of a pass (count pixels) into the decoded picture.
void storeRow(TChunkIHDR& h, const std::array<std::uint8_t, 256>& gamma, bool identityGamma,
              const std::uint8_t* src, int y, const Pass& p, std::uint32_t count)
{
    PngBitmap& pic = h.picture;
    std::uint8_t* dst = pic.scanLine(y);
    const int depth = h.bitDepth;
    const int k = depth == 16 ? 2 : 1;  // bytes per sample; 16-bit samples use their high byte
    std::uint8_t* alpha = h.alpha.empty() ? nullptr : h.alpha.data() + std::size_t(y) * h.width;
    switch (h.colorType) {
        case kColorRgb:
        case kColorRgbAlpha: {
            const int step = (h.colorType == kColorRgb ? 3 : 4) * k;
            if (p.dx == 1 && identityGamma && k == 1 && step == 3) {
                for (std::uint32_t i = 0; i < count; ++i, src += 3, dst += 3) {
                    dst[0] = src[2];
                    dst[1] = src[1];
                    dst[2] = src[0];
                }
                return;
            }
            for (std::uint32_t i = 0; i < count; ++i, src += step) {
                const std::size_t x = std::size_t(p.x0) + std::size_t(i) * std::size_t(p.dx);
                std::uint8_t* d = dst + x * 3;
                d[0] = gamma[src[2 * k]];
                d[1] = gamma[src[k]];
                d[2] = gamma[src[0]];
                if (alpha)
                    alpha[x] = src[3 * k];
            }
            return;
        }
        case kColorGrayscale:
        case kColorPalette:
            if (p.dx == 1 && (depth == 1 || depth == 4 || depth == 8)) {
                std::memcpy(dst, src, rowBytesFor(count, depth));
                return;
            }
            for (std::uint32_t i = 0; i < count; ++i) {
                unsigned v;
                if (depth == 16)
                    v = src[2 * i];
                else if (depth == 8)
                    v = src[i];
                else
                    v = packedSample(src, i, depth);
                if (depth == 2 && h.colorType == kColorGrayscale)
                    v *= 5;
                setPictureIndex(dst, p.x0 + int(i) * p.dx, pic.bitsPerPixel, v);
            }
            return;
        case kColorGrayscaleAlpha:
            for (std::uint32_t i = 0; i < count; ++i, src += 2 * k) {
                const std::size_t x = std::size_t(p.x0) + std::size_t(i) * std::size_t(p.dx);
                dst[x] = src[0];
                alpha[x] = src[k];
            }
            return;
    }
}

// Builds the file form of picture row y for a pass (count pixels).
void packRow(const TChunkIHDR& h, const std::array<std::uint8_t, 256>& inverse, bool identityGamma,
             std::uint8_t* out, std::size_t rowBytes, int y, const Pass& p, std::uint32_t count)
{
    const PngBitmap& pic = h.picture;
    const std::uint8_t* src = pic.scanLine(y);
    const int depth = h.bitDepth;
    const int k = depth == 16 ? 2 : 1;
    const std::uint8_t* alpha = h.alpha.empty() ? nullptr : h.alpha.data() + std::size_t(y) * h.width;
    auto put = [&](std::uint8_t*& o, unsigned v) {
        *o++ = std::uint8_t(v);
        if (k == 2)
            *o++ = std::uint8_t(v);  // v * 257: reads back as v
    };
    switch (h.colorType) {
        case kColorRgb:
        case kColorRgbAlpha: {
            if (p.dx == 1 && k == 1 && h.colorType == kColorRgb) {
                if (identityGamma) {
                    for (std::uint32_t i = 0; i < count; ++i, src += 3, out += 3) {
                        out[0] = src[2];
                        out[1] = src[1];
                        out[2] = src[0];
                    }
                } else {
                    for (std::uint32_t i = 0; i < count; ++i, src += 3, out += 3) {
                        out[0] = inverse[src[2]];
                        out[1] = inverse[src[1]];
                        out[2] = inverse[src[0]];
                    }
                }
                return;
            }
            for (std::uint32_t i = 0; i < count; ++i) {
                const std::size_t x = std::size_t(p.x0) + std::size_t(i) * std::size_t(p.dx);
                const std::uint8_t* s = src + x * 3;
                put(out, inverse[s[2]]);
                put(out, inverse[s[1]]);
                put(out, inverse[s[0]]);
                if (h.colorType == kColorRgbAlpha)
                    put(out, alpha && !h.alpha.empty() ? alpha[x] : 255);
            }
            return;
        }
        case kColorGrayscale:
        case kColorPalette:
            if (p.dx == 1 && (depth == 1 || depth == 4 || depth == 8)) {
                std::memcpy(out, src, rowBytes);
                return;
            }
            if (depth < 8)
                std::memset(out, 0, rowBytes);
            for (std::uint32_t i = 0; i < count; ++i) {
                unsigned v = pictureIndex(src, p.x0 + int(i) * p.dx, pic.bitsPerPixel);
                if (depth == 2)
                    v = h.colorType == kColorGrayscale ? std::min(v / 5, 3u) : v & 3;
                if (depth >= 8) {
                    std::uint8_t* o = out + std::size_t(i) * std::size_t(k);
                    put(o, v);
                } else {
                    putPackedSample(out, i, depth, v);
                }
            }
            return;
        case kColorGrayscaleAlpha:
            for (std::uint32_t i = 0; i < count; ++i) {
                const std::size_t x = std::size_t(p.x0) + std::size_t(i) * std::size_t(p.dx);
                put(out, src[x]);
                put(out, alpha ? alpha[x] : 255);
            }
            return;
    }
}

bool isIdentity(const std::array<std::uint8_t, 256>& t)
{
    for (int i = 0; i < 256; ++i)
        if (t[i] != i)
            return false;
    return true;
}

struct InflateGuard {
    z_stream* s;
    ~InflateGuard() { inflateEnd(s); }
};
struct DeflateGuard {
    z_stream* s;
    ~DeflateGuard() { deflateEnd(s); }
};

// Counts positions 2.. where a byte repeats one of the two before it.
std::size_t repeatScore(const std::uint8_t* row, std::size_t n)
{
    std::size_t score = 0;
    for (std::size_t i = 2; i < n; ++i) score += row[i] == row[i - 1] || row[i] == row[i - 2];
    return score;
}

}  // namespace

void TPNGObject::preparePicture(TChunkIHDR& h) const
{
    const TChunkPLTE* plte = palette();
    if (h.colorType == kColorPalette && !plte)
        throw EPNGInvalidPalette(kPngInvalidPalette);
    PngBitmap& pic = h.picture;
    pic = PngBitmap();
    pic.width = int(h.width);
    pic.height = int(h.height);
    pic.bitsPerPixel = h.pictureBits();
    h.alpha.clear();
    if (pic.bitsPerPixel <= 8) {
        const std::size_t n = std::size_t(1) << pic.bitsPerPixel;
        pic.palette.assign(n, 0);
        if (h.colorType == kColorPalette) {
            std::copy_n(plte->entries.begin(), std::min(n, plte->entries.size()), pic.palette.begin());
        } else {
            for (std::size_t i = 0; i < n; ++i) {
                const std::uint8_t g = gamma_[i * 255 / (n - 1)];
                pic.palette[i] = std::uint32_t(g) | std::uint32_t(g) << 8 | std::uint32_t(g) << 16;
            }
        }
    }
}

namespace {

// Inflates the image data from the IDAT chunk at idatPos on into a small
// buffer until rawSize bytes have come out, with the checks and exceptions
// of the decoding proper, and keeps nothing. A large picture is made only
// after its data has shown it holds every row.
void checkImageData(const std::uint8_t* file, std::size_t size, std::size_t idatPos, std::uint64_t rawSize)
{
    z_stream zs{};
    int ret = inflateInit(&zs);
    if (ret != Z_OK)
        throw EPNGZLIBError(pngZlibMessage(ret));
    InflateGuard guard{&zs};
    png::RawChunk chunk = png::readChunk(file, size, idatPos, true);
    zs.next_in = const_cast<Bytef*>(chunk.data);
    zs.avail_in = chunk.length;
    std::vector<std::uint8_t> sink(std::size_t(1) << 16);
    std::uint64_t left = rawSize;
    bool streamEnded = false;
    while (left > 0) {
        if (streamEnded)
            throw EPNGMissingMultipleIDAT(kPngMissingMultipleIdat);
        if (zs.avail_in == 0) {
            chunk = png::readChunk(file, size, chunk.next, true);
            if (!chunk.is("IDAT"))
                throw EPNGMissingMultipleIDAT(kPngMissingMultipleIdat);
            zs.next_in = const_cast<Bytef*>(chunk.data);
            zs.avail_in = chunk.length;
            continue;
        }
        const uInt room = uInt(std::min<std::uint64_t>(left, sink.size()));
        zs.next_out = sink.data();
        zs.avail_out = room;
        ret = inflate(&zs, Z_NO_FLUSH);
        if (ret == Z_NEED_DICT)
            ret = Z_DATA_ERROR;
        if (ret < 0 && ret != Z_BUF_ERROR)
            throw EPNGZLIBError(pngZlibMessage(ret));
        if (ret == Z_STREAM_END)
            streamEnded = true;
        left -= room - zs.avail_out;
    }
}

// Pictures up to this many bytes are made before their data is read.
constexpr std::uint64_t kCheckDataAbove = std::uint64_t(1) << 24;
// Image data up to this many bytes (inflated) is inflated in one go.
constexpr std::uint64_t kInflateAtOnce = std::uint64_t(1) << 26;
constexpr std::uint64_t kKeepRawBuffer = std::uint64_t(1) << 23;

struct DecompressorFree {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// The image data of the IDAT chunks from idatPos on, inflated whole into
// raw (rawSize bytes, the rows with their filter bytes), and where the
// chunks end. False for anything else (a chunk that fails its check, data
// that is short, long or damaged): the row-by-row reading then runs and
// says what is wrong, as it always did.
bool inflateAtOnce(const std::uint8_t* file, std::size_t size, std::size_t idatPos, std::uint64_t rawSize,
                   std::uint8_t* raw, std::size_t& endPos)
{
    thread_local std::unique_ptr<libdeflate_decompressor, DecompressorFree> decompressor(
        libdeflate_alloc_decompressor());
    if (!decompressor || rawSize > kInflateAtOnce)
        return false;
    std::vector<std::uint8_t> joined;
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    std::size_t pos = idatPos;
    try {
        for (int n = 0; pos <= size && size - pos >= 12 && std::memcmp(file + pos + 4, "IDAT", 4) == 0; ++n) {
            const png::RawChunk chunk = png::readChunk(file, size, pos, true);
            if (n == 0) {
                data = chunk.data;
                length = chunk.length;
            } else {
                if (n == 1)
                    joined.assign(data, data + length);
                joined.insert(joined.end(), chunk.data, chunk.data + chunk.length);
                data = joined.data();
                length = joined.size();
            }
            pos = chunk.next;
        }
    } catch (const std::exception&) {
        return false;
    }
    std::size_t used = 0, out = 0;
    if (!data ||
        libdeflate_zlib_decompress_ex(decompressor.get(), data, length, raw, std::size_t(rawSize), &used,
                                      &out) != LIBDEFLATE_SUCCESS ||
        out != rawSize)
        return false;
    endPos = pos;
    return true;
}

}  // namespace

void TPNGObject::decodeImageData(TChunkIHDR& h, const std::uint8_t* file, std::size_t size,
                                 std::size_t idatPos, std::size_t& endPos)
{
    preparePicture(h);
    const std::size_t bpp = std::max(1, h.filePixelBits() / 8);
    const std::vector<PassRows> passes = nonEmptyPasses(h, h.interlaceMethod != 0);

    // What the rows need, against what the IDAT chunks could possibly hold
    // (deflate cannot expand data beyond about 1032:1): a file that claims a
    // large picture with a few bytes of data fails before anything is allocated.
    std::uint64_t rawSize = 0;
    for (const PassRows& p : passes) rawSize += std::uint64_t(p.height) * (1 + p.rowBytes);
    std::uint64_t compressed = 0;
    for (std::size_t pos = idatPos; pos <= size && size - pos >= 12;) {
        const std::uint32_t len = png::be32(file + pos);
        if (std::memcmp(file + pos + 4, "IDAT", 4) != 0 || len > size - pos - 12)
            break;
        compressed += len;
        pos += 12 + std::size_t(len);
    }
    if (rawSize > (compressed + 64) * 1100)
        throw EPNGMissingMultipleIDAT(kPngMissingMultipleIdat);

    // Width x height x bytes per pixel, checked before anything is allocated
    // (the size itself was checked against MaxWidth and MaxHeight in IHDR).
    PngBitmap& pic = h.picture;
    const std::size_t stride = pic.stride();
    if (h.height > PTRDIFF_MAX / stride)
        throw EPNGOutMemory(kPngOutMemory);
    const bool hasAlpha = h.colorType == kColorGrayscaleAlpha || h.colorType == kColorRgbAlpha;
    const std::uint64_t pictureBytes =
        std::uint64_t(stride) * h.height + (hasAlpha ? std::uint64_t(h.width) * h.height : 0);
    if (pictureBytes > kCheckDataAbove)
        checkImageData(file, size, idatPos, rawSize);
    try {
        pic.bits.assign(stride * std::size_t(pic.height), 0);
        if (hasAlpha)
            h.alpha.assign(std::size_t(h.width) * h.height, 0);
    } catch (const std::bad_alloc&) {
        throw EPNGOutMemory(kPngOutMemory);
    }
    const bool identity = isIdentity(gamma_);
    const std::size_t widest = widestRow(passes);

    // (a buffer each thread keeps for pictures of a usual size, so that
    // a run of frames does not allocate and clear one every time)
    thread_local std::vector<std::uint8_t> kept;
    std::vector<std::uint8_t> once;
    std::vector<std::uint8_t>& raw = rawSize <= kKeepRawBuffer ? kept : once;
    if (rawSize <= kInflateAtOnce && raw.size() < rawSize)
        raw.resize(std::size_t(rawSize));
    if (rawSize <= kInflateAtOnce && inflateAtOnce(file, size, idatPos, rawSize, raw.data(), endPos)) {
        const std::vector<std::uint8_t> zeros(widest);
        std::uint8_t* row = raw.data();
        for (const PassRows& rows : passes) {
            const std::uint8_t* prev = zeros.data();
            for (std::uint32_t r = 0; r < rows.height; ++r) {
                png::unfilterRow(row[0], row + 1, prev, rows.rowBytes, bpp);
                storeRow(h, gamma_, identity, row + 1, rows.pass.y0 + int(r) * rows.pass.dy, rows.pass,
                         rows.width);
                prev = row + 1;
                row += rows.rowBytes + 1;
            }
        }
        return;
    }

    z_stream zs{};
    int ret = inflateInit(&zs);
    if (ret != Z_OK)
        throw EPNGZLIBError(pngZlibMessage(ret));
    InflateGuard guard{&zs};

    png::RawChunk chunk = png::readChunk(file, size, idatPos, true);
    zs.next_in = const_cast<Bytef*>(chunk.data);
    zs.avail_in = chunk.length;
    bool streamEnded = false;

    std::vector<std::uint8_t> cur(widest + 1), prev(widest + 1);
    for (const PassRows& rows : passes) {
        const Pass& p = rows.pass;
        const std::size_t rowBytes = rows.rowBytes;
        std::fill(prev.begin(), prev.end(), 0);
        for (std::uint32_t r = 0; r < rows.height; ++r) {
            zs.next_out = cur.data();
            zs.avail_out = uInt(rowBytes + 1);
            while (zs.avail_out > 0) {
                if (streamEnded)
                    throw EPNGMissingMultipleIDAT(kPngMissingMultipleIdat);
                if (zs.avail_in == 0) {
                    // This chunk is used up: the image data goes on in the next IDAT.
                    chunk = png::readChunk(file, size, chunk.next, true);
                    if (!chunk.is("IDAT"))
                        throw EPNGMissingMultipleIDAT(kPngMissingMultipleIdat);
                    zs.next_in = const_cast<Bytef*>(chunk.data);
                    zs.avail_in = chunk.length;
                    continue;
                }
                ret = inflate(&zs, Z_NO_FLUSH);
                if (ret == Z_NEED_DICT)
                    ret = Z_DATA_ERROR;
                if (ret < 0 && ret != Z_BUF_ERROR)
                    throw EPNGZLIBError(pngZlibMessage(ret));
                if (ret == Z_STREAM_END)
                    streamEnded = true;
            }
            png::unfilterRow(cur[0], cur.data() + 1, prev.data() + 1, rowBytes, bpp);
            storeRow(h, gamma_, identity, cur.data() + 1, p.y0 + int(r) * p.dy, p, rows.width);
            std::swap(cur, prev);
        }
    }
    endPos = chunk.next;
}

void TPNGObject::encodeImageData(const TChunkIHDR& h, std::vector<std::uint8_t>& out) const
{
    const PngBitmap& pic = h.picture;
    if (pic.width != int(h.width) || pic.height != int(h.height) || pic.bits.size() < pic.stride() * h.height)
        throw EPNGNoImageData(kPngNoImageData);
    const std::size_t bpp = std::max(1, h.filePixelBits() / 8);
    const std::vector<PassRows> passes = nonEmptyPasses(h, InterlaceMethod == imAdam7);
    const bool identity = isIdentity(inverseGamma_);

    z_stream zs{};
    int ret = deflateInit(&zs, std::clamp(CompressionLevel, 0, 9));
    if (ret != Z_OK)
        throw EPNGZLIBError(pngZlibMessage(ret));
    DeflateGuard guard{&zs};
    std::vector<std::uint8_t> buffer(maxIdatSize_);
    zs.next_out = buffer.data();
    zs.avail_out = uInt(buffer.size());
    auto pump = [&](int flush) {
        for (;;) {
            ret = deflate(&zs, flush);
            if (ret == Z_STREAM_ERROR)
                throw EPNGZLIBError(pngZlibMessage(ret));
            const bool full = zs.avail_out == 0;
            if (full) {
                png::writeChunk(out, "IDAT", buffer.data(), buffer.size());
                zs.next_out = buffer.data();
                zs.avail_out = uInt(buffer.size());
            }
            if (flush == Z_FINISH ? ret == Z_STREAM_END : (zs.avail_in == 0 && !full))
                break;
        }
    };

    // A single filter needs no trial; several are tried on every row.
    int fixedFilter = -1;
    int filterCount = 0;
    for (int f = pfNone; f <= pfPaeth; ++f)
        if (Filters & filterBit(TFilter(f))) {
            fixedFilter = f;
            ++filterCount;
        }
    if (filterCount == 0)
        fixedFilter = pfNone;
    if (filterCount > 1)
        fixedFilter = -1;

    const std::size_t widest = widestRow(passes);
    std::vector<std::uint8_t> raw(widest), prev(widest), filtered(widest + 1), trial(widest + 1);

    for (const PassRows& rows : passes) {
        const Pass& p = rows.pass;
        const std::size_t rowBytes = rows.rowBytes;
        std::fill(prev.begin(), prev.end(), 0);
        for (std::uint32_t r = 0; r < rows.height; ++r) {
            packRow(h, inverseGamma_, identity, raw.data(), rowBytes, p.y0 + int(r) * p.dy, p, rows.width);
            if (fixedFilter >= 0) {
                filtered[0] = std::uint8_t(fixedFilter);
                png::filterRow(fixedFilter, raw.data(), prev.data(), filtered.data() + 1, rowBytes, bpp);
            } else {
                std::size_t best = 0;
                bool any = false;
                for (int f = pfNone; f <= pfPaeth; ++f) {
                    if (!(Filters & filterBit(TFilter(f))))
                        continue;
                    png::filterRow(f, raw.data(), prev.data(), trial.data() + 1, rowBytes, bpp);
                    const std::size_t score = repeatScore(trial.data() + 1, rowBytes);
                    if (!any || score > best) {
                        best = score;
                        any = true;
                        trial[0] = std::uint8_t(f);
                        std::swap(trial, filtered);
                    }
                }
                if (best == 0) {
                    filtered[0] = pfNone;
                    std::memcpy(filtered.data() + 1, raw.data(), rowBytes);
                }
            }
            zs.next_in = filtered.data();
            zs.avail_in = uInt(rowBytes + 1);
            pump(Z_NO_FLUSH);
            std::swap(raw, prev);
        }
    }
    zs.next_in = nullptr;
    zs.avail_in = 0;
    pump(Z_FINISH);
    const std::size_t rest = buffer.size() - zs.avail_out;
    if (rest)
        png::writeChunk(out, "IDAT", buffer.data(), rest);
}

}  // namespace pelko
