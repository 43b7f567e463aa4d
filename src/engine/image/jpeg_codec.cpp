#include "engine/image/jpeg_codec.h"

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>
#include <cstdio>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <string>

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

// Returns nullptr on success, the failure text otherwise; picture is filled in.
const char* decodeInto(const std::uint8_t* data, std::size_t size, Picture& picture,
                       std::vector<JSAMPLE>& cmykRow, ErrorManager& err)
{
    jpeg_decompress_struct cinfo;
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return err.message[0] ? err.message : "JPEG: invalid data";
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (!pictureSizeAllowed(cinfo.image_width, cinfo.image_height)) {
        jpeg_destroy_decompress(&cinfo);
        return "JPEG: picture is too large";
    }
    // Huffman data needs at least one bit per 8 x 8 block of the first
    // component: a header that claims far more blocks than the data can hold
    // is a truncated file, refused before the buffers are made.
    const std::uint64_t blocks =
        (std::uint64_t(cinfo.image_width) + 7) / 8 * ((std::uint64_t(cinfo.image_height) + 7) / 8);
    if (!cinfo.arith_code && blocks > std::uint64_t(size) * 8 + 64) {
        jpeg_destroy_decompress(&cinfo);
        return "JPEG: data is cut short";
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
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
    ErrorManager err;
    initErrors(err);
    Picture picture;
    std::vector<JSAMPLE> cmykRow;
    if (const char* failure = decodeInto(data, size, picture, cmykRow, err))
        throw JpegError(failure);
    return picture;
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
