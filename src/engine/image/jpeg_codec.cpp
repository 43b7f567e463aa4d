#include "engine/image/jpeg_codec.h"

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>
#include <cstdio>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "engine/image/pixel_budget.h"

namespace pelko {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
};

void errorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void emitMessage(j_common_ptr cinfo, int level)
{
    // Warnings are counted silently; running out of data marks the picture truncated.
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level < 0) {
        ++cinfo->err->num_warnings;
        if (cinfo->err->msg_code == JWRN_JPEG_EOF)
            err->truncated = true;
    }
}

void initErrors(ErrorManager& err)
{
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = emitMessage;
    err.message[0] = 0;
    err.truncated = false;
}

// Separate from the setjmp frames: C++ objects stay out of them.
void cmykRowToBgr(const JSAMPLE* in, std::uint8_t* out, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        unsigned c = in[0], m = in[1], y = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[0] = std::uint8_t((y * k + 127) / 255);
        out[1] = std::uint8_t((m * k + 127) / 255);
        out[2] = std::uint8_t((c * k + 127) / 255);
    }
}

// Scans a progressive file may have. Encoders write about ten; every scan
// costs a pass over the whole picture, so thousands of scans in a small file
// would cost minutes. libjpeg's own tools bound them the same way.
constexpr int kMaxScans = 100;

// Every scan costs a pass over the blocks of its components, however little
// data it has (a run of empty blocks takes a few bits). The blocks all scans
// visit together may be this many per byte of the file, plus a fixed amount
// that covers any picture of ten scans or so. Encoders spend a bit or more
// on each block in every scan but the long runs, so real files stay far
// below; a file beyond is refused before libjpeg starts.
constexpr std::uint64_t kScanBlocksPerByte = 32;
constexpr std::uint64_t kFreeScanBlocks = std::uint64_t(1) << 24;

// What the markers say, found the way libjpeg reads them: segments are
// skipped by their length, and a scan's entropy-coded data runs up to the
// next marker that is neither a stuffed 0xFF 0x00 nor a restart marker.
struct MarkerWalk {
    int scans = 0;
    std::uint64_t scanBlocks = 0;  // the blocks of each scan's components, summed over the scans
    bool ended = false;            // an end-of-image marker was met
};

bool isFrameMarker(std::uint8_t m)
{
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// Blocks of each component (by its identifier) as libjpeg counts them:
// ceil(width * h / (hmax * 8)) x ceil(height * v / (vmax * 8)).
void frameBlocks(const std::uint8_t* f, std::size_t length, std::uint64_t (&blocks)[256])
{
    std::fill(std::begin(blocks), std::end(blocks), 0);
    if (length < 6)
        return;
    const std::uint64_t height = std::uint64_t(f[1]) << 8 | f[2];
    const std::uint64_t width = std::uint64_t(f[3]) << 8 | f[4];
    const std::size_t count = f[5];
    if (length < 6 + 3 * count)
        return;
    std::uint64_t hmax = 1, vmax = 1;
    for (std::size_t c = 0; c < count; ++c) {
        hmax = std::max<std::uint64_t>(hmax, f[6 + 3 * c + 1] >> 4);
        vmax = std::max<std::uint64_t>(vmax, f[6 + 3 * c + 1] & 15);
    }
    for (std::size_t c = 0; c < count; ++c) {
        const std::uint64_t h = f[6 + 3 * c + 1] >> 4, v = f[6 + 3 * c + 1] & 15;
        blocks[f[6 + 3 * c]] =
            (width * h + hmax * 8 - 1) / (hmax * 8) * ((height * v + vmax * 8 - 1) / (vmax * 8));
    }
}

MarkerWalk walkMarkers(const std::uint8_t* data, std::size_t size)
{
    MarkerWalk walk;
    std::uint64_t blocks[256] = {};
    std::size_t p = 2;  // past the start-of-image marker
    for (;;) {
        // Anything up to an 0xFF is skipped (libjpeg warns and goes on), and
        // so are fill bytes.
        const void* ff = p < size ? std::memchr(data + p, 0xFF, size - p) : nullptr;
        if (!ff)
            return walk;
        p = std::size_t(static_cast<const std::uint8_t*>(ff) - data);
        while (p < size && data[p] == 0xFF) ++p;
        if (p >= size)
            return walk;
        const std::uint8_t marker = data[p++];
        if (marker == 0xD9) {
            walk.ended = true;
            return walk;
        }
        if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7))
            continue;  // no length follows
        if (size - p < 2)
            return walk;
        const std::size_t length = std::size_t(data[p]) << 8 | data[p + 1];
        if (length < 2 || length > size - p)
            return walk;
        const std::uint8_t* body = data + p + 2;
        p += length;
        if (isFrameMarker(marker))
            frameBlocks(body, length - 2, blocks);
        if (marker != 0xDA)
            continue;
        ++walk.scans;
        if (length >= 3)
            for (std::size_t c = 0; c < body[0] && 2 + 2 * c < length - 2; ++c)
                walk.scanBlocks += blocks[body[1 + 2 * c]];
        while (p < size) {
            const void* next = std::memchr(data + p, 0xFF, size - p);
            if (!next)
                return walk;
            std::size_t q = std::size_t(static_cast<const std::uint8_t*>(next) - data);
            p = q;
            while (q < size && data[q] == 0xFF) ++q;
            if (q < size && (data[q] == 0x00 || (data[q] >= 0xD0 && data[q] <= 0xD7))) {
                p = q + 1;
                continue;
            }
            break;  // a marker: the outer loop reads it
        }
    }
}

// libjpeg calls this while it reads; past kMaxScans the decoding fails the
// way a libjpeg error does.
struct ScanLimit {
    jpeg_progress_mgr pub;
    int maxScans;
};

void progressMonitor(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    const auto* limit = reinterpret_cast<const ScanLimit*>(cinfo->progress);
    const int scan = reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number;
    if (scan > limit->maxScans) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "JPEG: more than %d scans", limit->maxScans);
        std::longjmp(err->jump, 1);
    }
}

// The least number of bytes that can hold the blocks of a picture: Huffman
// data spends at least one bit on every 8 x 8 block of every component (in a
// progressive file, in its first DC scan). Arithmetic coding can spend far
// less on blocks that repeat; an eighth of a bit each is allowed. A header
// that claims more blocks than the data can hold is a cut file, refused
// before libjpeg makes its buffers.
bool blocksFit(const jpeg_decompress_struct& cinfo, std::size_t size)
{
    std::uint64_t blocks = 0;
    for (int c = 0; c < cinfo.num_components; ++c)
        blocks += std::uint64_t(cinfo.comp_info[c].width_in_blocks) * cinfo.comp_info[c].height_in_blocks;
    const std::uint64_t bits = (std::uint64_t(size) + 8) * 8;
    return blocks <= (cinfo.arith_code ? bits * 8 : bits);
}

// Returns nullptr on success, the failure text otherwise; picture is filled in.
// With headerOnly, only the header is read: width and height are set and
// picture stays empty.
const char* decodeInto(const std::uint8_t* data, std::size_t size, bool headerOnly, Picture& picture,
                       std::int64_t& width, std::int64_t& height, std::vector<JSAMPLE>& cmykRow,
                       ErrorManager& err, std::string& tooLarge)
{
    jpeg_decompress_struct cinfo;
    ScanLimit limit{};
    limit.pub.progress_monitor = progressMonitor;
    limit.maxScans = kMaxScans;
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return err.message[0] ? err.message : "JPEG: invalid data";
    }
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &limit.pub;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    width = cinfo.image_width;
    height = cinfo.image_height;
    if (headerOnly || !withinPixelBudget(width, height)) {
        if (!headerOnly)
            tooLarge = pictureTooLargeMessage(width, height);
        jpeg_destroy_decompress(&cinfo);
        return headerOnly ? nullptr : tooLarge.c_str();
    }
    if (!blocksFit(cinfo, size)) {
        jpeg_destroy_decompress(&cinfo);
        return "JPEG: data is cut short";
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    // A progressive file is read whole by now: a cut one fails before the
    // picture is made.
    if (err.truncated) {
        jpeg_destroy_decompress(&cinfo);
        return "JPEG: data is cut short";
    }
    picture = Picture(int(cinfo.output_width), int(cinfo.output_height));
    if (cmyk)
        cmykRow.resize(std::size_t(cinfo.output_width) * 4);
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        JSAMPROW row = cmyk ? cmykRow.data() : picture.row(y);
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            break;
        if (cmyk)
            cmykRowToBgr(cmykRow.data(), picture.row(y), picture.width(), inverted);
        if (err.truncated)
            break;
    }
    if (!err.truncated)
        jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return err.truncated ? "JPEG: data is cut short" : nullptr;
}

const char* encodeInto(const Picture& picture, int quality, unsigned char** out, unsigned long* outSize,
                       ErrorManager& err)
{
    jpeg_compress_struct cinfo;
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return err.message[0] ? err.message : "JPEG: cannot encode";
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = JDIMENSION(picture.width());
    cinfo.image_height = JDIMENSION(picture.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, std::clamp(quality, 0, 100), TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(picture.row(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return nullptr;
}

}  // namespace

Picture decodeJpeg(const std::uint8_t* data, std::size_t size)
{
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        throw JpegError("JPEG: not a JPEG file");
    // libjpeg reads every file up to its end-of-image marker: one without it
    // is refused now rather than after the work; so is one of too many scans.
    const MarkerWalk walk = walkMarkers(data, size);
    if (!walk.ended)
        throw JpegError("JPEG: data is cut short");
    if (walk.scans > kMaxScans)
        throw JpegError("JPEG: more than " + std::to_string(kMaxScans) + " scans");
    if (walk.scanBlocks > kScanBlocksPerByte * size + kFreeScanBlocks)
        throw JpegError("JPEG: too many scans for the data");
    ErrorManager err;
    initErrors(err);
    Picture picture;
    std::int64_t width = 0, height = 0;
    std::vector<JSAMPLE> cmykRow;
    std::string tooLarge;
    if (const char* failure = decodeInto(data, size, false, picture, width, height, cmykRow, err, tooLarge))
        throw JpegError(failure);
    return picture;
}

PictureSize jpegPictureSize(const std::uint8_t* data, std::size_t size)
{
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        throw JpegError("JPEG: not a JPEG file");
    ErrorManager err;
    initErrors(err);
    Picture none;
    PictureSize result;
    std::vector<JSAMPLE> cmykRow;
    std::string tooLarge;
    if (const char* failure =
            decodeInto(data, size, true, none, result.width, result.height, cmykRow, err, tooLarge))
        throw JpegError(failure);
    return result;
}

std::vector<std::uint8_t> encodeJpeg(const Picture& picture, int quality)
{
    if (picture.empty())
        throw JpegError("JPEG: the picture is empty");
    ErrorManager err;
    initErrors(err);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    const char* failure = encodeInto(picture, quality, &buffer, &length, err);
    std::vector<std::uint8_t> out;
    if (!failure)
        out.assign(buffer, buffer + length);
    std::free(buffer);
    if (failure)
        throw JpegError(failure);
    return out;
}

}  // namespace pelko
