#include "engine/png/png_filters.h"

#include <cstring>

namespace pelko::png {

namespace {

// The Paeth predictor without branches, which photographs would mispredict.
inline int paethSelect(int a, int b, int c)
{
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    const int bc = pb <= pc ? b : c;
    return pa <= pb && pa <= pc ? a : bc;
}

}  // namespace

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
            if (bpp == 3 || bpp == 4) {
                // Each channel's left and upper-left bytes stay in registers,
                // so the channels run side by side (a zero left and
                // upper-left predict the byte above, as at the row's start).
                int a[4] = {}, c[4] = {};
                std::size_t i = 0;
                for (; i + bpp <= n; i += bpp)
                    for (std::size_t k = 0; k < bpp; ++k) {
                        const int b = prev[i + k];
                        a[k] = std::uint8_t(row[i + k] + paethSelect(a[k], b, c[k]));
                        row[i + k] = std::uint8_t(a[k]);
                        c[k] = b;
                    }
                for (std::size_t k = 0; i < n; ++i, ++k) {
                    const int b = prev[i];
                    a[k] = std::uint8_t(row[i] + paethSelect(a[k], b, c[k]));
                    row[i] = std::uint8_t(a[k]);
                    c[k] = b;
                }
                break;
            }
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
