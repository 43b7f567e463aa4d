#pragma once
// Byte streams of the GIF codec: GifInput reads from a buffer it does not
// own, with a position that can be moved back; GifOutput appends to a byte
// vector. Multi-byte numbers are little-endian.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace pelko {

class GifInput {
public:
    GifInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    explicit GifInput(const std::vector<std::uint8_t>& bytes) : GifInput(bytes.data(), bytes.size()) {}

    std::size_t position() const { return pos_; }
    std::size_t size() const { return size_; }
    std::size_t remaining() const { return size_ - pos_; }
    bool atEnd() const { return pos_ >= size_; }
    // Moves to an absolute position, clamped to the end.
    void seek(std::size_t pos) { pos_ = pos < size_ ? pos : size_; }
    void skip(std::size_t n) { pos_ += n < remaining() ? n : remaining(); }
    void unread(std::size_t n = 1) { pos_ = n < pos_ ? pos_ - n : 0; }

    // The next byte, or -1 at the end.
    int readByte() { return pos_ < size_ ? data_[pos_++] : -1; }
    int peek() const { return pos_ < size_ ? data_[pos_] : -1; }
    // Copies up to n bytes; returns how many were copied.
    std::size_t read(void* dst, std::size_t n)
    {
        if (n > remaining())
            n = remaining();
        if (n)
            std::memcpy(dst, data_ + pos_, n);
        pos_ += n;
        return n;
    }
    // Copies exactly n bytes or throws GIFException "Premature end of data"
    // (leaving the position after what was there).
    void readExact(void* dst, std::size_t n);
    const std::uint8_t* current() const { return data_ + pos_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

class GifOutput {
public:
    GifOutput() = default;
    std::vector<std::uint8_t>& bytes() { return bytes_; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

    void writeByte(std::uint8_t b) { bytes_.push_back(b); }
    void writeWord(std::uint16_t w)
    {
        bytes_.push_back(std::uint8_t(w & 0xFF));
        bytes_.push_back(std::uint8_t(w >> 8));
    }
    void write(const void* src, std::size_t n)
    {
        const auto* p = static_cast<const std::uint8_t*>(src);
        bytes_.insert(bytes_.end(), p, p + n);
    }

private:
    std::vector<std::uint8_t> bytes_;
};

inline std::uint16_t gifWord(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}
inline void putGifWord(std::uint8_t* p, std::uint16_t w)
{
    p[0] = std::uint8_t(w & 0xFF);
    p[1] = std::uint8_t(w >> 8);
}

}  // namespace pelko
