#pragma once
// Image data encoders: a frame's colour indices become a minimum code size
// byte, variable-width codes packed into data sub-blocks, and a 0 terminator.
// TLZWEncoder compresses with LZW; TRLEEncoder writes only run-length codes
// that any GIF decoder reads as ordinary LZW data.

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "engine/gif/gif_stream.h"
#include "engine/gif/gif_types.h"

namespace pelko {

// Packs bytes into data sub-blocks of 255 bytes; the last, shorter block is
// written by Flush (or on destruction). A write-only stream.
class TGIFWriter {
public:
    explicit TGIFWriter(GifOutput& out) : out_(out) {}
    ~TGIFWriter() { Flush(); }
    TGIFWriter(const TGIFWriter&) = delete;
    TGIFWriter& operator=(const TGIFWriter&) = delete;

    void WriteByte(std::uint8_t b)
    {
        buffer_[fill_++] = b;
        if (fill_ > 255) {
            buffer_[0] = 255;
            out_.write(buffer_, 256);
            fill_ = 1;
        }
    }
    void Write(const std::uint8_t* p, std::size_t n)
    {
        for (std::size_t i = 0; i < n; ++i) WriteByte(p[i]);
    }
    // Writes pending bytes as a final, shorter block.
    void Flush()
    {
        if (fill_ > 1) {
            buffer_[0] = std::uint8_t(fill_ - 1);
            out_.write(buffer_, std::size_t(fill_));
            fill_ = 1;
        }
    }
    // The writer cannot be read or repositioned.
    [[noreturn]] void Read(void*, std::size_t) { throw std::runtime_error("Invalid stream operation"); }
    [[noreturn]] void Seek(std::int64_t) { throw std::runtime_error("Invalid stream operation"); }

private:
    GifOutput& out_;
    std::uint8_t buffer_[256];
    int fill_ = 1;
};

// What a frame hands to an encoder.
struct TGIFEncodeSource {
    const std::uint8_t* pixels = nullptr;  // width x height indices, or null
    int width = 0;
    int height = 0;
    bool interlaced = false;
    int bitsPerPixel = 0;  // raised to 2 when below
    int colorLimit = 0;    // every pixel must be below it
};

class TGIFEncoder {
public:
    virtual ~TGIFEncoder() = default;
    // The common driver: code size byte, codes in sub-blocks, end code, 0.
    // A pixel not below the colour limit raises "Color not in color table";
    // what was encoded before it stays in out (without the 0 terminator).
    void Encode(GifOutput& out, const TGIFEncodeSource& source);

protected:
    virtual void Output(int code) { emit(code); }
    virtual void Clear() = 0;
    virtual void Compress() = 0;

    void emit(int code)
    {
        bucket_ |= std::uint64_t(code) << bucketBits_;
        bucketBits_ += bitsPerCode_;
        while (bucketBits_ >= 8) {
            writer_->WriteByte(std::uint8_t(bucket_));
            bucket_ >>= 8;
            bucketBits_ -= 8;
        }
        if (code == endCode_ && bucketBits_ > 0) {
            writer_->WriteByte(std::uint8_t(bucket_));
            bucket_ = 0;
            bucketBits_ = 0;
        }
    }
    // Rows in scan order (the four interlace passes when interlaced).
    const std::vector<int>& scanRows() const { return rows_; }
    const std::uint8_t* row(int y) const
    {
        return source_.pixels + std::size_t(y) * std::size_t(source_.width);
    }
    [[noreturn]] void colorNotInTable() const;

    TGIFEncodeSource source_;
    TGIFWriter* writer_ = nullptr;
    int bitsPerPixel_ = 0;
    int initialBitsPerCode_ = 0;
    int bitsPerCode_ = 0;
    int maxCode_ = 0;
    int clearCode_ = 0;
    int endCode_ = 0;
    int baseCode_ = 0;
    bool clearFlag_ = false;
    std::uint64_t bucket_ = 0;
    int bucketBits_ = 0;

private:
    std::vector<int> rows_;
};

class TLZWEncoder : public TGIFEncoder {
public:
    static constexpr int kHashSize = 8009;

protected:
    void Output(int code) override;
    void Clear() override;
    void Compress() override;

    int nextFree_ = 0;

private:
    // Open addressing over kHashSize slots; a slot holds key * 4096 + code,
    // and all bits set (or anything from 0xFFFFF000 up) marks it empty.
    std::vector<std::uint32_t> table_;
    // Per prefix code, the table entry it last led to (same layout); a
    // cache in front of the table, emptied with it.
    std::vector<std::uint32_t> recent_;
};

class TRLEEncoder : public TGIFEncoder {
protected:
    void Clear() override;
    void Compress() override;

private:
    void plainOutput(int code);
    void flushRun(int count);
    void flushFromClear(int count);
    void flushWithTable(int count);

    int runPixel_ = -1;
    int codeCount_ = 0;
    int bump_ = 0, bumpStart_ = 0;
    int clearLimit_ = 0, clearLimitStart_ = 0;
    int maxCodes_ = 0;
    int tableRunMax_ = 0;
    int tableRunPixel_ = -1;
};

// Codes needed to cover count pixels with runs 1, 2, ..., m repeated.
int rleTriangleCost(int count, int m);

}  // namespace pelko
