#pragma once
// The chunk records of a PNG image. Registered types get their own record;
// any other chunk is a plain TChunk holding its raw data.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/png/png_bitmap.h"

namespace pelko {

class TChunk {
public:
    explicit TChunk(std::string_view type) : type_(type.substr(0, 4)) {}
    virtual ~TChunk() = default;

    const std::string& type() const { return type_; }
    // The raw chunk data: what was read, or what a plain chunk writes.
    std::vector<std::uint8_t>& data() { return data_; }
    const std::vector<std::uint8_t>& data() const { return data_; }

    // Copies another chunk of the same type; EPngError otherwise.
    void Assign(const TChunk& other);
    virtual std::unique_ptr<TChunk> clone() const { return std::make_unique<TChunk>(*this); }

protected:
    virtual void assignFrom(const TChunk& other) { data_ = other.data_; }

private:
    std::string type_;
    std::vector<std::uint8_t> data_;
};

// Colour types of IHDR.
enum PngColorType : std::uint8_t {
    kColorGrayscale = 0,
    kColorRgb = 2,
    kColorPalette = 3,
    kColorGrayscaleAlpha = 4,
    kColorRgbAlpha = 6,
};

// True when PNG allows this colour type with this bit depth.
bool pngColorTypeAllows(int colorType, int bitDepth);

class TChunkIHDR : public TChunk {
public:
    TChunkIHDR() : TChunk("IHDR") {}
    std::unique_ptr<TChunk> clone() const override { return std::make_unique<TChunkIHDR>(*this); }

    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint8_t bitDepth = 8;
    std::uint8_t colorType = kColorRgb;
    std::uint8_t compressionMethod = 0;
    std::uint8_t filterMethod = 0;
    std::uint8_t interlaceMethod = 0;

    // The decoded picture and, for colour types 4 and 6, the alpha plane
    // (one byte per pixel, top row first).
    PngBitmap picture;
    std::vector<std::uint8_t> alpha;

    int channels() const;
    // Bits of one pixel in the file.
    int filePixelBits() const { return channels() * bitDepth; }
    // Bits per pixel of the decoded picture (2-bit samples widen to 4,
    // 16-bit grey narrows to 8, true colour is 24).
    int pictureBits() const;

protected:
    void assignFrom(const TChunk& other) override { *this = static_cast<const TChunkIHDR&>(other); }
};

class TChunkPLTE : public TChunk {
public:
    TChunkPLTE() : TChunk("PLTE") {}
    std::unique_ptr<TChunk> clone() const override { return std::make_unique<TChunkPLTE>(*this); }

    // Entries as 0x00BBGGRR, after the gamma table.
    std::vector<std::uint32_t> entries;
    int count() const { return int(entries.size()); }
    // Entry i; EPngError "There is no such palette entry." beyond the table.
    std::uint32_t Item(int index) const;

protected:
    void assignFrom(const TChunk& other) override { *this = static_cast<const TChunkPLTE&>(other); }
};

// tRNS keeps its raw data: alpha bytes for palette images, a 16-bit grey
// value or three 16-bit RGB values otherwise.
class TChunktRNS : public TChunk {
public:
    TChunktRNS() : TChunk("tRNS") {}
    std::unique_ptr<TChunk> clone() const override { return std::make_unique<TChunktRNS>(*this); }
};

class TChunkgAMA : public TChunk {
public:
    TChunkgAMA() : TChunk("gAMA") {}
    std::unique_ptr<TChunk> clone() const override { return std::make_unique<TChunkgAMA>(*this); }
    std::uint32_t gamma = 0;  // times 100000

protected:
    void assignFrom(const TChunk& other) override { *this = static_cast<const TChunkgAMA&>(other); }
};

// Stands for all the image data: when saved it compresses IHDR's picture
// into as many IDAT chunks as needed.
class TChunkIDAT : public TChunk {
public:
    TChunkIDAT() : TChunk("IDAT") {}
    std::unique_ptr<TChunk> clone() const override { return std::make_unique<TChunkIDAT>(*this); }
};

class TChunkIEND : public TChunk {
public:
    TChunkIEND() : TChunk("IEND") {}
    std::unique_ptr<TChunk> clone() const override { return std::make_unique<TChunkIEND>(*this); }
};

// Text and time chunks are kept raw and written back as they were.
class TChunktEXt : public TChunk {
public:
    TChunktEXt() : TChunk("tEXt") {}
    std::unique_ptr<TChunk> clone() const override { return std::make_unique<TChunktEXt>(*this); }
    std::string keyword() const;
    std::string text() const;
};

class TChunkzTXt : public TChunk {
public:
    TChunkzTXt() : TChunk("zTXt") {}
    std::unique_ptr<TChunk> clone() const override { return std::make_unique<TChunkzTXt>(*this); }
};

class TChunktIME : public TChunk {
public:
    TChunktIME() : TChunk("tIME") {}
    std::unique_ptr<TChunk> clone() const override { return std::make_unique<TChunktIME>(*this); }
};

}  // namespace pelko
