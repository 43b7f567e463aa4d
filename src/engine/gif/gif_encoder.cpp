#include "engine/gif/gif_encoder.h"

#include "engine/gif/gif_exception.h"

namespace pelko {

namespace {

// Rows of a frame in the order of the four interlace passes; a pass whose
// first row is at or beyond the height is passed over.
std::vector<int> interlacedRows(int height)
{
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    std::vector<int> rows;
    rows.reserve(std::size_t(height));
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
    return rows;
}

}  // namespace

void TGIFEncoder::colorNotInTable() const
{
    throw GIFException(gifmsg::kColorNotInTable);
}

void TGIFEncoder::Encode(GifOutput& out, const TGIFEncodeSource& source)
{
    source_ = source;
    bitsPerPixel_ = source.bitsPerPixel < 2 ? 2 : source.bitsPerPixel;
    out.writeByte(std::uint8_t(bitsPerPixel_));

    initialBitsPerCode_ = bitsPerPixel_ + 1;
    bitsPerCode_ = initialBitsPerCode_;
    maxCode_ = (1 << bitsPerCode_) - 1;
    clearCode_ = 1 << bitsPerPixel_;
    endCode_ = clearCode_ + 1;
    baseCode_ = clearCode_ + 2;
    bucket_ = 0;
    bucketBits_ = 0;
    clearFlag_ = false;

    rows_.clear();
    const bool hasPixels = source.pixels && source.width > 0 && source.height > 0;
    if (hasPixels) {
        if (source.interlaced) {
            rows_ = interlacedRows(source.height);
        } else {
            rows_.resize(std::size_t(source.height));
            for (int y = 0; y < source.height; ++y) rows_[std::size_t(y)] = y;
        }
    }

    TGIFWriter writer(out);
    writer_ = &writer;
    try {
        if (hasPixels)
            Compress();
        Output(endCode_);
    } catch (...) {
        // The partial block is written, the terminator is not.
        writer.Flush();
        writer_ = nullptr;
        throw;
    }
    writer.Flush();
    writer_ = nullptr;
    out.writeByte(0);
}

// LZW ---------------------------------------------------------------------------

namespace {
constexpr std::uint32_t kEmptySlot = 0xFFFFFFFFu;
constexpr int kMaxLzwCode = 4095;

inline int nextSlot(int h)
{
    if (h == 0)
        return TLZWEncoder::kHashSize - 1;
    const int d = 2 * h;
    return d < TLZWEncoder::kHashSize ? d : d - TLZWEncoder::kHashSize;
}
}  // namespace

void TLZWEncoder::Output(int code)
{
    emit(code);
    if (nextFree_ > maxCode_ || clearFlag_) {
        if (clearFlag_) {
            bitsPerCode_ = initialBitsPerCode_;
            maxCode_ = (1 << bitsPerCode_) - 1;
            clearFlag_ = false;
        } else {
            ++bitsPerCode_;
            maxCode_ = bitsPerCode_ == 12 ? 4096 : (1 << bitsPerCode_) - 1;
        }
    }
}

void TLZWEncoder::Clear()
{
    clearFlag_ = true;
    Output(clearCode_);
    std::fill(table_.begin(), table_.end(), kEmptySlot);
    std::fill(recent_.begin(), recent_.end(), kEmptySlot);
    nextFree_ = clearCode_ + 2;
}

void TLZWEncoder::Compress()
{
    table_.assign(kHashSize, kEmptySlot);
    recent_.assign(4096, kEmptySlot);
    nextFree_ = clearCode_ + 2;
    Clear();

    const unsigned limit = unsigned(source_.colorLimit);
    const int width = source_.width;
    std::uint32_t* const table = table_.data();
    std::uint32_t* const recent = recent_.data();
    bool first = true;
    int prefix = 0;
    for (int y : scanRows()) {
        const std::uint8_t* p = row(y);
        for (int x = 0; x < width; ++x) {
            const unsigned c = p[x];
            if (c >= limit)
                colorNotInTable();
            if (first) {
                prefix = int(c);
                first = false;
                continue;
            }
            // The string last seen after this prefix answers most lookups
            // without touching the table.
            const std::uint32_t key = (std::uint32_t(prefix) << 8) | c;
            const std::uint32_t hint = recent[prefix];
            if ((hint >> 12) == key) {
                prefix = int(hint & 0xFFF);
                continue;
            }
            // One walk serves both the lookup and, on a miss, the insert:
            // it ends on the first empty slot.
            int h = int((key ^ (key >> 4)) % kHashSize);
            int probes = 0;
            std::uint32_t slot;
            while ((slot = table[h]) < 0xFFFFF000u) {
                if ((slot >> 12) == key)
                    break;
                h = nextSlot(h);
                if (++probes == kHashSize) {
                    h = -1;  // this walk is full
                    break;
                }
            }
            if (h >= 0 && slot < 0xFFFFF000u && (slot >> 12) == key) {
                recent[prefix] = slot;
                prefix = int(slot & 0xFFF);
                continue;
            }
            Output(prefix);
            prefix = int(c);
            if (nextFree_ >= kMaxLzwCode || h < 0) {
                Clear();
            } else {
                table[h] = (key << 12) | std::uint32_t(nextFree_);
                ++nextFree_;
            }
        }
    }
    Output(prefix);
}

// RLE ---------------------------------------------------------------------------

int rleTriangleCost(int count, int m)
{
    int cost = 0;
    const long long full = (long long)m * (m + 1) / 2;
    if (full > 0 && count >= full) {
        const long long rounds = count / full;
        cost += int(rounds * m);
        count -= int(rounds * full);
    }
    if (count > 0) {
        int k = 1;
        while ((long long)k * (k + 1) < 2LL * count) ++k;
        cost += k;
    }
    return cost;
}

void TRLEEncoder::Clear()
{
    bump_ = bumpStart_;
    clearLimit_ = clearLimitStart_;
    codeCount_ = 0;
    tableRunMax_ = 0;
    clearFlag_ = true;
    emit(clearCode_);
    bitsPerCode_ = initialBitsPerCode_;
}

void TRLEEncoder::plainOutput(int code)
{
    clearFlag_ = false;
    emit(code);
    ++codeCount_;
    if (codeCount_ >= bump_) {
        bump_ += 1 << bitsPerCode_;
        ++bitsPerCode_;
    }
    if (codeCount_ >= clearLimit_)
        Clear();
}

void TRLEEncoder::flushFromClear(int count)
{
    clearLimit_ = maxCodes_;
    tableRunPixel_ = runPixel_;
    int n = 1;
    while (count > 0) {
        if (n == 1) {
            tableRunMax_ = 1;
            plainOutput(runPixel_);
            --count;
        } else if (count >= n) {
            tableRunMax_ = n;
            plainOutput(baseCode_ + n - 2);
            count -= n;
        } else {
            ++tableRunMax_;
            plainOutput(count == 1 ? runPixel_ : baseCode_ + count - 2);
            count = 0;
        }
        n = codeCount_ == 0 ? 1 : n + 1;
    }
    clearLimit_ = clearLimitStart_;
    if (codeCount_ >= clearLimit_)
        Clear();
}

void TRLEEncoder::flushWithTable(int count)
{
    const int t = tableRunMax_;
    int repeats = count / t;
    int leftover = count % t;
    int extra = leftover > 0 ? 1 : 0;
    if (codeCount_ + repeats + extra > maxCodes_) {
        repeats = maxCodes_ - codeCount_;
        leftover = count - repeats * t;
        extra = 1 + rleTriangleCost(leftover, maxCodes_);
    }
    if (1 + rleTriangleCost(count, maxCodes_) < repeats + extra) {
        Clear();
        flushFromClear(count);
        return;
    }
    clearLimit_ = maxCodes_;
    for (int i = 0; i < repeats; ++i) plainOutput(baseCode_ + t - 2);
    if (leftover > 0) {
        if (clearFlag_)
            flushFromClear(leftover);
        else
            plainOutput(leftover == 1 ? runPixel_ : baseCode_ + leftover - 2);
    }
    clearLimit_ = clearLimitStart_;
    if (codeCount_ >= clearLimit_)
        Clear();
}

void TRLEEncoder::flushRun(int count)
{
    if (count == 1) {
        plainOutput(runPixel_);
    } else if (clearFlag_) {
        flushFromClear(count);
    } else if (tableRunMax_ >= 2 && tableRunPixel_ == runPixel_) {
        flushWithTable(count);
    } else if (1 + rleTriangleCost(count, maxCodes_) < count) {
        Clear();
        flushFromClear(count);
    } else {
        for (int i = 0; i < count; ++i) plainOutput(runPixel_);
    }
}

void TRLEEncoder::Compress()
{
    bumpStart_ = clearCode_ - 1;
    clearLimitStart_ = bitsPerPixel_ <= 3 ? 9 : bumpStart_ - 1;
    maxCodes_ = 4095 - baseCode_;
    Clear();
    runPixel_ = -1;
    tableRunPixel_ = -1;
    int runLength = 0;

    const unsigned limit = unsigned(source_.colorLimit);
    const int width = source_.width;
    for (int y : scanRows()) {
        const std::uint8_t* p = row(y);
        for (int x = 0; x < width; ++x) {
            const int c = p[x];
            if (unsigned(c) >= limit)
                colorNotInTable();
            if (runLength > 0 && c != runPixel_) {
                flushRun(runLength);
                runLength = 0;
            }
            if (c == runPixel_) {
                ++runLength;
            } else {
                runPixel_ = c;
                runLength = 1;
            }
        }
    }
    if (runLength > 0)
        flushRun(runLength);
}

}  // namespace pelko
