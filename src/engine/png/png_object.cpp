#include "engine/png/png_object.h"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <new>

#include "engine/png/png_stream.h"

namespace pelko {

namespace png {

RawChunk readChunk(const std::uint8_t* file, std::size_t size, std::size_t pos, bool checkCrc)
{
    if (pos > size || size - pos < 4)
        throw EPngUnexpectedEnd(kPngUnexpectedEnd);
    RawChunk c;
    c.length = be32(file + pos);
    // A chunk is its length, type, data and CRC; lengths beyond 2^31 - 1 are not PNG.
    if (c.length > 0x7FFFFFFFu || size - pos - 4 < std::size_t(c.length) + 8)
        throw EPngUnexpectedEnd(kPngUnexpectedEnd);
    c.type = file + pos + 4;
    c.data = c.type + 4;
    c.next = pos + 12 + c.length;
    if (checkCrc) {
        const uLong crc = crc32(0L, c.type, uInt(c.length + 4));
        if (crc != be32(c.data + c.length))
            throw EPngInvalidCRC(kPngInvalidCrc);
    }
    return c;
}

void writeChunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data,
                std::size_t length)
{
    put32(out, std::uint32_t(length));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    if (length)
        out.insert(out.end(), data, data + length);
    put32(out, std::uint32_t(crc32(0L, out.data() + start, uInt(length + 4))));
}

}  // namespace png

namespace {

std::unique_ptr<TChunk> makeChunk(std::string_view type)
{
    if (type == "IHDR")
        return std::make_unique<TChunkIHDR>();
    if (type == "PLTE")
        return std::make_unique<TChunkPLTE>();
    if (type == "tRNS")
        return std::make_unique<TChunktRNS>();
    if (type == "gAMA")
        return std::make_unique<TChunkgAMA>();
    if (type == "IDAT")
        return std::make_unique<TChunkIDAT>();
    if (type == "IEND")
        return std::make_unique<TChunkIEND>();
    if (type == "tEXt")
        return std::make_unique<TChunktEXt>();
    if (type == "zTXt")
        return std::make_unique<TChunkzTXt>();
    if (type == "tIME")
        return std::make_unique<TChunktIME>();
    return std::make_unique<TChunk>(type);
}

bool isRegistered(std::string_view type)
{
    for (const char* t : {"IHDR", "PLTE", "tRNS", "gAMA", "IDAT", "IEND", "tEXt", "zTXt", "tIME"})
        if (type == t)
            return true;
    return false;
}

std::uint32_t rgbColor(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return std::uint32_t(r) | std::uint32_t(g) << 8 | std::uint32_t(b) << 16;
}

}  // namespace

TPNGObject::TPNGObject()
{
    clear();
}

void TPNGObject::clear()
{
    chunks_.clear();
    setGamma(0);
}

void TPNGObject::setGamma(std::uint32_t g)
{
    for (int i = 0; i < 256; ++i) gamma_[i] = inverseGamma_[i] = std::uint8_t(i);
    if (g == 0)
        return;
    const double exponent = 1.0 / (double(g) / 100000.0 * 2.2);
    for (int i = 0; i < 256; ++i) {
        const long v = std::lround(255.0 * std::pow(i / 255.0, exponent));
        gamma_[i] = std::uint8_t(std::clamp(v, 0L, 255L));
    }
    for (int i = 0; i < 256; ++i) inverseGamma_[gamma_[i]] = std::uint8_t(i);
}

void TPNGObject::SetMaxIdatSize(std::size_t size)
{
    maxIdatSize_ = std::clamp<std::size_t>(size, kPngMinIdatSize, 0x7FFFFFFF);
}

TChunk* TPNGObject::findChunk(std::string_view type) const
{
    for (const auto& c : chunks_)
        if (c->type() == type)
            return c.get();
    return nullptr;
}

const TChunkIHDR& TPNGObject::requireHeader() const
{
    const TChunkIHDR* h = header();
    if (!h)
        throw EPNGHeaderNotPresent(kPngHeaderNotPresent);
    return *h;
}

int TPNGObject::Width() const
{
    return int(requireHeader().width);
}
int TPNGObject::Height() const
{
    return int(requireHeader().height);
}
void TPNGObject::SetWidth(int)
{
    throw EPngError(kPngCannotResize);
}
void TPNGObject::SetHeight(int)
{
    throw EPngError(kPngCannotResize);
}

const std::vector<std::uint8_t>& TPNGObject::alphaPlane() const
{
    return requireHeader().alpha;
}

TChunk& TPNGObject::AddChunk(std::string_view type)
{
    if (type.size() != 4)
        throw std::invalid_argument("PNG chunk types have four letters");
    if (!findChunk("IHDR") || !findChunk("IEND"))
        throw EPngError(kPngInvalidImageForChunk);
    if (type == "IHDR" || type == "IDAT" || type == "PLTE" || type == "IEND" ||
        ((type == "gAMA" || type == "tRNS") && findChunk(type)))
        throw EPngError(kPngExistentChunk);

    auto indexOf = [&](std::string_view t) -> std::ptrdiff_t {
        for (std::size_t i = 0; i < chunks_.size(); ++i)
            if (chunks_[i]->type() == t)
                return std::ptrdiff_t(i);
        return -1;
    };
    std::ptrdiff_t at;
    if (type == "tRNS") {
        if (std::ptrdiff_t p = indexOf("PLTE"); p >= 0)
            at = p + 1;
        else if (std::ptrdiff_t d = indexOf("IDAT"); d >= 0)
            at = d;
        else
            at = indexOf("IHDR") + 1;
    } else if (type == "gAMA") {
        at = indexOf("IHDR") + 1;
    } else {
        at = indexOf("IEND");
    }
    return **chunks_.insert(chunks_.begin() + at, makeChunk(type));
}

void TPNGObject::Assign(const TPNGObject& other)
{
    if (&other == this)
        return;
    Filters = other.Filters;
    MaxWidth = other.MaxWidth;
    MaxHeight = other.MaxHeight;
    CompressionLevel = other.CompressionLevel;
    InterlaceMethod = other.InterlaceMethod;
    maxIdatSize_ = other.maxIdatSize_;
    gamma_ = other.gamma_;
    inverseGamma_ = other.inverseGamma_;
    chunks_.clear();
    for (const auto& c : other.chunks_) chunks_.push_back(c->clone());
}

void TPNGObject::Assign(const PngBitmap& bitmap)
{
    const int b = bitmap.bitsPerPixel;
    if (b != 1 && b != 4 && b != 8 && b != 24 && b != 32)
        throw std::invalid_argument("PNG: unsupported bits per pixel");
    if (bitmap.width > 65535 || bitmap.height > 65535)
        throw EPNGSizeExceeds(kPngSizeExceeds);
    if (bitmap.width <= 0 || bitmap.height <= 0)
        throw EPngError(kPngZeroSize);
    if (bitmap.bits.size() < bitmap.stride() * std::size_t(bitmap.height))
        throw std::invalid_argument("PNG: bitmap data is smaller than its size");

    clear();
    auto ihdr = std::make_unique<TChunkIHDR>();
    ihdr->width = std::uint32_t(bitmap.width);
    ihdr->height = std::uint32_t(bitmap.height);
    PngBitmap& pic = ihdr->picture;
    pic.width = bitmap.width;
    pic.height = bitmap.height;
    if (b < 16) {
        ihdr->colorType = kColorPalette;
        ihdr->bitDepth = std::uint8_t(b);
        pic.bitsPerPixel = b;
        pic.bits.assign(bitmap.bits.begin(), bitmap.bits.begin() + std::ptrdiff_t(pic.stride() * pic.height));
        pic.palette.assign(std::size_t(1) << b, 0);
        std::copy_n(bitmap.palette.begin(), std::min(bitmap.palette.size(), pic.palette.size()),
                    pic.palette.begin());
    } else {
        ihdr->colorType = kColorRgb;
        ihdr->bitDepth = 8;
        pic.bitsPerPixel = 24;
        if (b == 24) {
            pic.bits.assign(bitmap.bits.begin(),
                            bitmap.bits.begin() + std::ptrdiff_t(pic.stride() * pic.height));
        } else {
            pic.bits.assign(pic.stride() * std::size_t(pic.height), 0);
            for (int y = 0; y < pic.height; ++y) {
                const std::uint8_t* s = bitmap.scanLine(y);
                std::uint8_t* d = pic.scanLine(y);
                for (int x = 0; x < pic.width; ++x, s += 4, d += 3) std::memcpy(d, s, 3);
            }
        }
    }
    const bool indexed = b < 16;
    auto palette = std::make_unique<TChunkPLTE>();
    if (indexed)
        palette->entries = pic.palette;
    chunks_.push_back(std::move(ihdr));
    if (indexed)
        chunks_.push_back(std::move(palette));
    chunks_.push_back(std::make_unique<TChunkIDAT>());
    chunks_.push_back(std::make_unique<TChunkIEND>());
    if (bitmap.transparent)
        SetTransparentColor(bitmap.transparentColor);
}

void TPNGObject::AssignTo(PngBitmap& bitmap) const
{
    const TChunkIHDR& h = requireHeader();
    bitmap = h.picture;
    bitmap.transparent = TransparencyMode() == ptmBit;
    bitmap.transparentColor = bitmap.transparent ? TransparentColor() : 0;
}

TPNGTransparencyMode TPNGObject::TransparencyMode() const
{
    const TChunkIHDR* h = header();
    if (!h)
        return ptmNone;
    if (h->colorType == kColorGrayscaleAlpha || h->colorType == kColorRgbAlpha)
        return ptmPartial;
    const TChunk* trns = findChunk("tRNS");
    if (!trns)
        return ptmNone;
    if (h->colorType != kColorPalette)
        return ptmBit;
    const auto& d = trns->data();
    const auto notOpaque = std::count_if(d.begin(), d.end(), [](std::uint8_t a) { return a != 255; });
    return notOpaque == 1 ? ptmBit : ptmPartial;
}

std::uint32_t TPNGObject::TransparentColor() const
{
    const TChunkIHDR* h = header();
    const TChunk* trns = findChunk("tRNS");
    if (!h || !trns)
        return 0;
    const auto& d = trns->data();
    auto sample = [&](std::size_t i) -> std::uint8_t {
        const unsigned v = unsigned(d[i]) << 8 | d[i + 1];
        return std::uint8_t(h->bitDepth == 16 ? v >> 8 : v & 0xFF);
    };
    const auto& table = h->picture.palette;
    switch (h->colorType) {
        case kColorGrayscale: {
            if (d.size() < 2)
                return 0;
            unsigned v = sample(0);
            if (h->bitDepth < 8)
                v &= (1u << h->bitDepth) - 1;
            if (h->bitDepth == 2)
                v *= 5;
            if (v < table.size())
                return table[v];
            const std::uint8_t g = gamma_[std::min(v, 255u)];
            return rgbColor(g, g, g);
        }
        case kColorRgb:
            if (d.size() < 6)
                return 0;
            return rgbColor(gamma_[sample(0)], gamma_[sample(2)], gamma_[sample(4)]);
        case kColorPalette: {
            const TChunkPLTE* plte = palette();
            for (std::size_t i = 0; i < d.size(); ++i)
                if (d[i] != 255)
                    return plte && int(i) < plte->count() ? plte->entries[i] : 0;
            return 0;
        }
    }
    return 0;
}

void TPNGObject::SetTransparentColor(std::uint32_t c)
{
    const TChunkIHDR& h = requireHeader();
    if (h.colorType == kColorGrayscaleAlpha || h.colorType == kColorRgbAlpha)
        throw EPNGCannotChangeTransparent(kPngCannotChangeTransparent);
    TChunk* trns = findChunk("tRNS");
    if (!trns)
        trns = &AddChunk("tRNS");
    const std::uint8_t r = std::uint8_t(c), g = std::uint8_t(c >> 8), b = std::uint8_t(c >> 16);
    auto& d = trns->data();
    switch (h.colorType) {
        case kColorGrayscale:
            d = {0, r};
            break;
        case kColorRgb:
            d = {0, r, 0, g, 0, b};
            break;
        default: {
            const TChunkPLTE* plte = palette();
            const std::vector<std::uint32_t> none;
            const auto& entries = plte ? plte->entries : none;
            const auto it = std::find(entries.begin(), entries.end(), c & 0xFFFFFF);
            if (it == entries.end()) {
                d = {0};
            } else {
                d.assign(std::size_t(it - entries.begin()), 255);
                d.push_back(0);
            }
        }
    }
}

void TPNGObject::LoadFromStream(const std::uint8_t* data, std::size_t size)
{
    load(data, size, true);
}

void TPNGObject::LoadHeaderFromStream(const std::uint8_t* data, std::size_t size)
{
    load(data, size, false);
}

void TPNGObject::load(const std::uint8_t* data, std::size_t size, bool decodePixels)
{
    if (size < 8 || std::memcmp(data, png::kSignature, 8) != 0)
        throw EPNGInvalidFileHeader(kPngInvalidFileHeader);
    clear();
    std::vector<std::unique_ptr<TChunk>> list;
    TChunkIHDR* ihdr = nullptr;
    bool haveImageData = false;
    std::size_t checkedUpTo = 0;  // chunks before this offset had their CRC checked by the image decoder
    std::size_t pos = 8;
    for (;;) {
        const png::RawChunk raw = png::readChunk(data, size, pos, pos >= checkedUpTo);
        const std::size_t here = pos;
        pos = raw.next;
        const std::string_view type(reinterpret_cast<const char*>(raw.type), 4);
        if (list.empty() && type != "IHDR")
            throw EPNGIHDRNotFirst(kPngIhdrNotFirst);
        if (type == "IEND") {
            list.push_back(std::make_unique<TChunkIEND>());
            break;
        }
        if (type == "cHRM")
            continue;
        if (type == "IDAT") {
            if (haveImageData)
                continue;
            if (!ihdr)
                throw EPNGIHDRNotFirst(kPngIhdrNotFirst);
            // The list so far is needed for the palette.
            chunks_ = std::move(list);
            if (decodePixels)
                decodeImageData(*ihdr, data, size, here, checkedUpTo);
            else
                preparePicture(*ihdr);
            list = std::move(chunks_);
            list.push_back(std::make_unique<TChunkIDAT>());
            haveImageData = true;
            continue;
        }
        if (!isRegistered(type) && std::isupper(static_cast<unsigned char>(type[0])))
            throw EPNGUnknownCriticalChunk(kPngUnknownCriticalChunk);

        auto chunk = makeChunk(type);
        chunk->data().assign(raw.data, raw.data + raw.length);
        if (type == "IHDR") {
            if (ihdr)
                throw EPngError(kPngExistentChunk);
            if (raw.length < 13)
                throw EPngInvalidIHDR(kPngInvalidIhdr);
            auto* h = static_cast<TChunkIHDR*>(chunk.get());
            h->width = png::be32(raw.data);
            h->height = png::be32(raw.data + 4);
            h->bitDepth = raw.data[8];
            h->colorType = raw.data[9];
            h->compressionMethod = raw.data[10];
            h->filterMethod = raw.data[11];
            h->interlaceMethod = raw.data[12];
            if (h->width > 65535 || h->height > 65535)
                throw EPNGSizeExceeds(kPngSizeExceeds);
            if (h->compressionMethod != 0)
                throw EPNGUnknownCompression(kPngUnknownCompression);
            if (h->interlaceMethod > 1)
                throw EPNGUnknownInterlace(kPngUnknownInterlace);
            if (h->width == 0 || h->height == 0)
                throw EPngError(kPngZeroSize);
            if (!pngColorTypeAllows(h->colorType, h->bitDepth))
                throw EPngError(kPngBadColorTypeOrDepth);
            if (decodePixels && (h->width > std::uint32_t(std::max(MaxWidth, 0)) ||
                                 h->height > std::uint32_t(std::max(MaxHeight, 0))))
                throw EPNGSizeExceeds(pngTooLargeMessage(h->width, h->height, MaxWidth, MaxHeight));
            InterlaceMethod = TInterlaceMethod(h->interlaceMethod);
            ihdr = h;
        } else if (type == "PLTE") {
            if (raw.length % 3 != 0 || raw.length > 256 * 3)
                throw EPNGInvalidPalette(kPngInvalidPalette);
            auto* p = static_cast<TChunkPLTE*>(chunk.get());
            for (std::uint32_t i = 0; i + 2 < raw.length; i += 3)
                p->entries.push_back(
                    rgbColor(gamma_[raw.data[i]], gamma_[raw.data[i + 1]], gamma_[raw.data[i + 2]]));
        } else if (type == "tRNS") {
            if (raw.length > 256)
                throw EPNGInvalidPalette(kPngInvalidPalette);
        } else if (type == "gAMA") {
            if (raw.length >= 4) {
                auto* g = static_cast<TChunkgAMA*>(chunk.get());
                g->gamma = png::be32(raw.data);
                setGamma(g->gamma);
            }
        }
        list.push_back(std::move(chunk));
    }
    if (!haveImageData)
        throw EPNGNoImageData(kPngNoImageData);
    chunks_ = std::move(list);
}

void TPNGObject::SaveToStream(std::vector<std::uint8_t>& out) const
{
    const TChunkIHDR& ihdr = requireHeader();
    out.insert(out.end(), png::kSignature, png::kSignature + 8);
    std::vector<std::uint8_t> buf;
    for (const auto& c : chunks_) {
        const std::string& type = c->type();
        buf.clear();
        if (type == "IHDR") {
            png::put32(buf, ihdr.width);
            png::put32(buf, ihdr.height);
            buf.insert(buf.end(), {ihdr.bitDepth, ihdr.colorType, 0, 0, std::uint8_t(InterlaceMethod)});
            png::writeChunk(out, "IHDR", buf.data(), buf.size());
        } else if (type == "PLTE") {
            for (std::uint32_t e : static_cast<const TChunkPLTE&>(*c).entries)
                buf.insert(buf.end(), {inverseGamma_[e & 0xFF], inverseGamma_[(e >> 8) & 0xFF],
                                       inverseGamma_[(e >> 16) & 0xFF]});
            png::writeChunk(out, "PLTE", buf.data(), buf.size());
        } else if (type == "gAMA") {
            png::put32(buf, static_cast<const TChunkgAMA&>(*c).gamma);
            png::writeChunk(out, "gAMA", buf.data(), buf.size());
        } else if (type == "IDAT") {
            encodeImageData(ihdr, out);
        } else {
            png::writeChunk(out, type.c_str(), c->data().data(), c->data().size());
        }
    }
}

}  // namespace pelko
