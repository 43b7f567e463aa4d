#pragma once
// TPNGObject: a PNG image as an ordered list of chunk records, with the
// decoded picture kept by its IHDR record. Reads every colour type and bit
// depth (Adam7 included) and writes with the object's filter set, compression
// level and interlace method. Failures raise the classes of png_errors.h.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/png/png_bitmap.h"
#include "engine/png/png_chunks.h"
#include "engine/png/png_errors.h"

namespace pelko {

enum TFilter : std::uint8_t { pfNone, pfSub, pfUp, pfAverage, pfPaeth };
// A set of filters, one bit per TFilter.
using TFilters = std::uint8_t;
constexpr TFilters filterBit(TFilter f)
{
    return TFilters(1u << f);
}

using TCompressionLevel = int;  // 0..9
enum TInterlaceMethod : std::uint8_t { imNone, imAdam7 };
enum TPNGTransparencyMode { ptmNone, ptmBit, ptmPartial };

constexpr std::size_t kPngMinIdatSize = 65535;

class TPNGObject {
public:
    TPNGObject();
    TPNGObject(const TPNGObject& other) { Assign(other); }
    TPNGObject& operator=(const TPNGObject& other)
    {
        if (this != &other)
            Assign(other);
        return *this;
    }

    // Builds a new image from a bitmap: palette (bit depth = bits per pixel)
    // below 16 bits per pixel, RGB otherwise; tRNS when it is marked transparent.
    void Assign(const PngBitmap& bitmap);
    // Copies another image's settings and chunks.
    void Assign(const TPNGObject& other);
    // Hands the decoded picture over; for ptmBit it is marked transparent with
    // the tRNS colour. The alpha plane stays here (alphaPlane()).
    void AssignTo(PngBitmap& bitmap) const;

    // Replaces the chunk list with the data's and decodes the picture.
    void LoadFromStream(const std::uint8_t* data, std::size_t size);
    // The same with every check on the chunks (CRCs, order, IHDR, PLTE),
    // but the image data is left alone: the picture gets its size and
    // colour table and no pixels, and MaxWidth and MaxHeight do not apply.
    // For what needs only the header and the chunk list.
    void LoadHeaderFromStream(const std::uint8_t* data, std::size_t size);
    // Appends the signature and every chunk of the list, in order.
    void SaveToStream(std::vector<std::uint8_t>& out) const;

    // For grey, RGB and palette images: finds or adds tRNS and stores c there.
    void SetTransparentColor(std::uint32_t c);
    // The colour tRNS names (for ptmBit), 0 otherwise.
    std::uint32_t TransparentColor() const;
    TPNGTransparencyMode TransparencyMode() const;

    // Size, read from IHDR; the size cannot be set directly.
    int Width() const;
    int Height() const;
    void SetWidth(int);
    void SetHeight(int);

    // Write settings.
    TFilters Filters = filterBit(pfSub);
    TCompressionLevel CompressionLevel = 7;
    TInterlaceMethod InterlaceMethod = imNone;
    // Largest picture the reader makes: a larger IHDR raises EPNGSizeExceeds
    // with "picture too large: W × H (limit MaxWidth × MaxHeight)" before
    // anything is allocated. The defaults are the program's canvas maximum;
    // the picture readers set the process-wide pixel budget.
    int MaxWidth = 10000;
    int MaxHeight = 10000;
    std::size_t MaxIdatSize() const { return maxIdatSize_; }
    void SetMaxIdatSize(std::size_t size);

    // Chunk list.
    int chunkCount() const { return int(chunks_.size()); }
    TChunk& chunk(int i) { return *chunks_[std::size_t(i)]; }
    const TChunk& chunk(int i) const { return *chunks_[std::size_t(i)]; }
    // The first chunk of the type, or nullptr.
    TChunk* findChunk(std::string_view type) const;
    TChunkIHDR* header() const { return static_cast<TChunkIHDR*>(findChunk("IHDR")); }
    TChunkPLTE* palette() const { return static_cast<TChunkPLTE*>(findChunk("PLTE")); }
    // Adds an ancillary chunk (tRNS after PLTE or before the first IDAT, gAMA
    // after IHDR, anything else before IEND). Critical chunks, a second tRNS or
    // gAMA, or a list without IHDR and IEND raise EPngError.
    TChunk& AddChunk(std::string_view type);

    // The alpha plane of colour types 4 and 6: width x height bytes, top row first.
    const std::vector<std::uint8_t>& alphaPlane() const;

    const std::array<std::uint8_t, 256>& gammaTable() const { return gamma_; }
    const std::array<std::uint8_t, 256>& inverseGammaTable() const { return inverseGamma_; }

private:
    void clear();
    void setGamma(std::uint32_t g);
    const TChunkIHDR& requireHeader() const;
    void load(const std::uint8_t* data, std::size_t size, bool decodePixels);
    // The size, bits and colour table of the decoded picture, without pixels.
    void preparePicture(TChunkIHDR& ihdr) const;
    void decodeImageData(TChunkIHDR& ihdr, const std::uint8_t* file, std::size_t size, std::size_t idatPos,
                         std::size_t& endPos);
    void encodeImageData(const TChunkIHDR& ihdr, std::vector<std::uint8_t>& out) const;

    std::vector<std::unique_ptr<TChunk>> chunks_;
    std::size_t maxIdatSize_ = kPngMinIdatSize;
    std::array<std::uint8_t, 256> gamma_{};
    std::array<std::uint8_t, 256> inverseGamma_{};
};

}  // namespace pelko
