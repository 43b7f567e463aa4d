#include "engine/png/png_image_encoder.h"

#include <libdeflate.h>

#include <cstdlib>
#include <memory>
#include <new>

#include "engine/png/png_filters.h"

namespace pelko::png {
namespace {

struct CompressorDeleter {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

std::size_t magnitude(const std::uint8_t* row, std::size_t n)
{
    std::size_t sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += std::size_t(std::abs(int(std::int8_t(row[i]))));
    return sum;
}

}  // namespace

std::vector<std::uint8_t> encodeImageData(const std::uint8_t* pixels, int width, int height, int channels,
                                          std::size_t stride, int level)
{
    const std::size_t rowBytes = std::size_t(width) * std::size_t(channels);
    std::vector<std::uint8_t> filtered((rowBytes + 1) * std::size_t(height));
    std::vector<std::uint8_t> zero(rowBytes, 0), trial(rowBytes);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* raw = pixels + std::size_t(y) * stride;
        const std::uint8_t* prev = y > 0 ? pixels + std::size_t(y - 1) * stride : zero.data();
        std::uint8_t* out = filtered.data() + std::size_t(y) * (rowBytes + 1);
        std::size_t best = std::size_t(-1);
        for (int type = 0; type <= 4; ++type) {
            filterRow(type, raw, prev, trial.data(), rowBytes, std::size_t(channels));
            const std::size_t m = magnitude(trial.data(), rowBytes);
            if (m < best) {
                best = m;
                out[0] = std::uint8_t(type);
                std::copy(trial.begin(), trial.end(), out + 1);
            }
        }
    }
    std::unique_ptr<libdeflate_compressor, CompressorDeleter> compressor(
        libdeflate_alloc_compressor(level < 1    ? 1
                                    : level > 12 ? 12
                                                 : level));
    if (!compressor)
        throw std::bad_alloc();
    std::vector<std::uint8_t> data(libdeflate_zlib_compress_bound(compressor.get(), filtered.size()));
    const std::size_t n = libdeflate_zlib_compress(compressor.get(), filtered.data(), filtered.size(),
                                                   data.data(), data.size());
    if (n == 0)
        throw std::bad_alloc();  // the bound was not enough: cannot happen
    data.resize(n);
    return data;
}

}  // namespace pelko::png
