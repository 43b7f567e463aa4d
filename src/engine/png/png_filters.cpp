#include "engine/png/png_filters.h"

#include <cstring>

namespace pelko::png {

void unfilterRow(int type, std::uint8_t* row, const std::uint8_t* prev, std::size_t n, std::size_t bpp)
{
    switch (type) {
        case 1:
            if (bpp == 3 || bpp == 4) {
                // The running sums stay in registers instead of going through memory.
                std::uint8_t a[4] = {};
                std::size_t i = 0;
                for (; i + bpp <= n; i += bpp)
                    for (std::size_t c = 0; c < bpp; ++c) row[i + c] = a[c] = std::uint8_t(a[c] + row[i + c]);
                for (std::size_t c = 0; i < n; ++i, ++c) row[i] = a[c] = std::uint8_t(a[c] + row[i]);
                break;
            }
            for (std::size_t i = bpp; i < n; ++i) row[i] = std::uint8_t(row[i] + row[i - bpp]);
            break;
        case 2:
            for (std::size_t i = 0; i < n; ++i) row[i] = std::uint8_t(row[i] + prev[i]);
            break;
        case 3:
            for (std::size_t i = 0; i < bpp && i < n; ++i) row[i] = std::uint8_t(row[i] + (prev[i] >> 1));
            for (std::size_t i = bpp; i < n; ++i)
                row[i] = std::uint8_t(row[i] + ((row[i - bpp] + prev[i]) >> 1));
            break;
        case 4:
            for (std::size_t i = 0; i < bpp && i < n; ++i) row[i] = std::uint8_t(row[i] + prev[i]);
            for (std::size_t i = bpp; i < n; ++i)
                row[i] = std::uint8_t(row[i] + paethPredictor(row[i - bpp], prev[i], prev[i - bpp]));
            break;
        default:
            break;
    }
}

void filterRow(int type, const std::uint8_t* raw, const std::uint8_t* prev, std::uint8_t* out, std::size_t n,
               std::size_t bpp)
{
    const std::size_t head = bpp < n ? bpp : n;
    switch (type) {
        case 1:
            std::memcpy(out, raw, head);
            for (std::size_t i = bpp; i < n; ++i) out[i] = std::uint8_t(raw[i] - raw[i - bpp]);
            break;
        case 2:
            for (std::size_t i = 0; i < n; ++i) out[i] = std::uint8_t(raw[i] - prev[i]);
            break;
        case 3:
            for (std::size_t i = 0; i < head; ++i) out[i] = std::uint8_t(raw[i] - (prev[i] >> 1));
            for (std::size_t i = bpp; i < n; ++i)
                out[i] = std::uint8_t(raw[i] - ((raw[i - bpp] + prev[i]) >> 1));
            break;
        case 4:
            for (std::size_t i = 0; i < head; ++i) out[i] = std::uint8_t(raw[i] - prev[i]);
            for (std::size_t i = bpp; i < n; ++i)
                out[i] = std::uint8_t(raw[i] - paethPredictor(raw[i - bpp], prev[i], prev[i - bpp]));
            break;
        default:
            std::memcpy(out, raw, n);
            break;
    }
}

}  // namespace pelko::png
