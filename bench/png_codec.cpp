// The PNG codec against libpng on a 4000 x 3000 photo-like RGB picture:
// decoding the same file, and encoding at level 9 with the filter Sub.

#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "engine/png/png_object.h"

namespace {

using pelko::PngBitmap;
using pelko::TPNGObject;

constexpr int kWidth = 4000, kHeight = 3000;

// Smooth shapes with fine noise: compresses like a photograph rather than
// like flat art or random bytes.
const PngBitmap& photo()
{
    static const PngBitmap bitmap = [] {
        PngBitmap b;
        b.width = kWidth;
        b.height = kHeight;
        b.bitsPerPixel = 24;
        b.bits.resize(b.stride() * kHeight);
        std::mt19937 rng(7);
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* row = b.scanLine(y);
            for (int x = 0; x < kWidth; ++x) {
                const double u = x / double(kWidth), v = y / double(kHeight);
                const double base = 0.5 + 0.25 * std::sin(9 * u + 4 * v) + 0.2 * std::cos(13 * v - 5 * u * v);
                const int noise = int(rng() % 9) - 4;
                for (int c = 0; c < 3; ++c) {
                    const double shade =
                        base * (0.7 + 0.15 * c) * 255 + noise + 12 * std::sin(40 * u * (c + 1));
                    row[3 * x + c] = std::uint8_t(std::clamp(shade, 0.0, 255.0));
                }
            }
        }
        return b;
    }();
    return bitmap;
}

std::vector<std::uint8_t> encodeOurs(const TPNGObject& png)
{
    std::vector<std::uint8_t> out;
    png.SaveToStream(out);
    return out;
}

TPNGObject photoObject()
{
    TPNGObject png;
    png.CompressionLevel = 9;
    png.Filters = pelko::filterBit(pelko::pfSub);
    png.Assign(photo());
    return png;
}

const std::vector<std::uint8_t>& photoFile()
{
    static const std::vector<std::uint8_t> file = encodeOurs(photoObject());
    return file;
}

struct MemoryReader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t pos;
};

void readMemory(png_structp png, png_bytep out, png_size_t n)
{
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (r->bytes->size() - r->pos < n)
        png_error(png, "read past the end");
    std::memcpy(out, r->bytes->data() + r->pos, n);
    r->pos += n;
}

void writeMemory(png_structp png, png_bytep data, png_size_t n)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void flushNothing(png_structp) {}

// libpng into the same layout as ours: blue-green-red rows, bottom-up, 4-byte aligned.
void decodeLibpng(const std::vector<std::uint8_t>& file, std::vector<std::uint8_t>& pixels,
                  std::vector<png_bytep>& rows)
{
    MemoryReader reader{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return;
    }
    png_set_read_fn(png, &reader, readMemory);
    png_read_info(png, info);
    png_set_bgr(png);
    const std::size_t stride = PngBitmap::strideFor(int(png_get_image_width(png, info)), 24);
    const std::size_t height = png_get_image_height(png, info);
    pixels.assign(stride * height, 0);
    rows.resize(height);
    for (std::size_t y = 0; y < height; ++y) rows[y] = pixels.data() + (height - 1 - y) * stride;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
}

void encodeLibpng(const PngBitmap& b, std::vector<std::uint8_t>& out, std::vector<png_bytep>& rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return;
    }
    png_set_write_fn(png, &out, writeMemory, flushNothing);
    png_set_IHDR(png, info, png_uint_32(b.width), png_uint_32(b.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);  // the strategy our writer uses
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
    png_set_bgr(png);
    png_write_info(png, info);
    rows.resize(std::size_t(b.height));
    for (int y = 0; y < b.height; ++y) rows[std::size_t(y)] = const_cast<png_bytep>(b.scanLine(y));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
}

void BM_DecodePelko(benchmark::State& state)
{
    const auto& file = photoFile();
    for (auto _ : state) {
        TPNGObject png;
        png.LoadFromStream(file.data(), file.size());
        benchmark::DoNotOptimize(png.header()->picture.bits.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * kWidth * kHeight * 3);
}

void BM_DecodeLibpng(benchmark::State& state)
{
    const auto& file = photoFile();
    std::vector<png_bytep> rows;
    for (auto _ : state) {
        std::vector<std::uint8_t> pixels;
        decodeLibpng(file, pixels, rows);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * kWidth * kHeight * 3);
}

void BM_EncodeLevel9SubPelko(benchmark::State& state)
{
    const TPNGObject png = photoObject();
    std::size_t size = 0;
    for (auto _ : state) {
        const auto out = encodeOurs(png);
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["file_MB"] = double(size) / 1e6;
}

void BM_EncodeLevel9SubLibpng(benchmark::State& state)
{
    const PngBitmap& b = photo();
    std::vector<png_bytep> rows;
    std::size_t size = 0;
    for (auto _ : state) {
        std::vector<std::uint8_t> out;
        encodeLibpng(b, out, rows);
        size = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["file_MB"] = double(size) / 1e6;
}

}  // namespace

BENCHMARK(BM_DecodePelko)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeLibpng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeLevel9SubPelko)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeLevel9SubLibpng)->Unit(benchmark::kMillisecond);
