#include "png_test_util.h"

#include <png.h>

#include <csetjmp>
#include <cstring>

namespace pelko::test {
namespace {

struct Source {
    const std::vector<std::uint8_t>* bytes;
    std::size_t pos;
};

void readFromSource(png_structp png, png_bytep out, png_size_t n)
{
    auto* s = static_cast<Source*>(png_get_io_ptr(png));
    if (s->bytes->size() - s->pos < n)
        png_error(png, "read past the end");
    std::memcpy(out, s->bytes->data() + s->pos, n);
    s->pos += n;
}

void quietWarning(png_structp, png_const_charp) {}

}  // namespace

LibpngImage decodeWithLibpng(const std::vector<std::uint8_t>& file, bool keepAlpha)
{
    LibpngImage img;
    Source src{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, quietWarning);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;  // set up before setjmp, filled after
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        img.ok = false;
        return img;
    }
    png_set_read_fn(png, &src, readFromSource);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    if (keepAlpha)
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    else
        png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    img.width = int(png_get_image_width(png, info));
    img.height = int(png_get_image_height(png, info));
    png_fixed_point g = 0;
    if (png_get_gAMA_fixed(png, info, &g))
        img.gamma = std::uint32_t(g);
    const std::size_t channels = keepAlpha ? 4 : 3;
    img.rgb.assign(std::size_t(img.width) * img.height * channels, 0);
    rows.resize(std::size_t(img.height));
    for (int y = 0; y < img.height; ++y)
        rows[std::size_t(y)] = img.rgb.data() + std::size_t(y) * img.width * channels;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    img.ok = true;
    return img;
}

}  // namespace pelko::test
