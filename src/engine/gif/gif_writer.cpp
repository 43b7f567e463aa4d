// Writing the image model as a GIF stream.

#include <algorithm>
#include <exception>

#include "engine/base/parallel.h"
#include "engine/gif/gif_encoder.h"
#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"
#include "engine/gif/lossy_lzw_encoder.h"

namespace pelko {

void TGIFHeader::SaveToStream(GifOutput& out) const
{
    const TGIFVersion version = image_ ? image_->GetVersion() : GetVersion();
    if (version == gvUnknown)
        throw GIFException(gifmsg::kUnsupportedVersion);
    out.write("GIF", 3);
    out.write(GIFVersionText(version), 3);
    out.writeWord(width_);
    out.writeWord(height_);
    out.writeByte(packed_);
    out.writeByte(background_);
    out.writeByte(aspect_);
    if (packed_ & 0x80)
        colorMap_.SaveToStream(out);
}

std::uint8_t TGIFSubImage::WrittenPacked() const
{
    // A frame with its own table is written in plain row order.
    if (colorMap_.GetCount() > 0)
        return std::uint8_t(kLocalColorTable | (colorMap_.GetOptimized() ? kSorted : 0) |
                            ((colorMap_.GetBitsPerPixel() - 1) & kTableSize));
    return std::uint8_t(packed_ & (kInterlaced | kReserved));
}

void TGIFSubImage::SaveToStream(GifOutput& out) const
{
    SaveToStream(out, nullptr);
}

void TGIFSubImage::SaveToStream(GifOutput& out, const std::vector<std::uint8_t>* compressed) const
{
    extensions_.SaveToStream(out);
    if (GetEmpty())
        return;
    packed_ = WrittenPacked();
    out.writeByte(0x2C);
    out.writeWord(std::uint16_t(left_));
    out.writeWord(std::uint16_t(top_));
    out.writeWord(std::uint16_t(width_));
    out.writeWord(std::uint16_t(height_));
    out.writeByte(packed_);
    colorMap_.SaveToStream(out);
    if (compressed)
        out.write(compressed->data(), compressed->size());
    else
        Compress(out);
}

void TGIFSubImage::Compress(GifOutput& out) const
{
    Compress(out, GetInterlaced());
}

void TGIFSubImage::Compress(GifOutput& out, bool interlaced) const
{
    TGIFEncodeSource source;
    if (!GetEmpty()) {
        if (data_.size() != std::size_t(width_) * std::size_t(height_))
            throw GIFException(gifmsg::kImageEmpty);
        source.pixels = data_.data();
    }
    source.width = width_;
    source.height = height_;
    source.interlaced = interlaced;
    if (colorMap_.GetCount() > 0) {
        source.bitsPerPixel = colorMap_.GetBitsPerPixel();
        source.colorLimit = colorMap_.GetCount();
    } else {
        source.bitsPerPixel = image_ ? image_->GetBitsPerPixel() : 0;
        source.colorLimit = 1 << source.bitsPerPixel;
    }
    if (image_ && image_->GetCompression() == gcRLE) {
        TRLEEncoder encoder;
        encoder.Encode(out, source);
    } else if (image_ && lossyColorBound(image_->GetLossy()) >= 1) {
        // (below a distance of 1 no colour may stand for another)
        const TGIFColorMap& map = GetActiveColorMap();
        Color colors[TGIFColorMap::kMaxColors] = {};
        for (int i = 0; i < map.GetCount(); ++i) colors[i] = map.GetColor(i);
        const int transparent = GetTransparent() && gce_ ? gce_->GetTransparentColorIndex() : -1;
        TLossyLZWEncoder encoder(image_->GetLossy(), colors, map.GetCount(), transparent);
        encoder.Encode(out, source);
    } else {
        TLZWEncoder encoder;
        encoder.Encode(out, source);
    }
}

namespace {

// The image data of every non-empty frame, compressed on up to threads
// threads. A frame whose compression failed keeps its error, to be raised
// when the writer reaches it, as a serial run would.
struct CompressedFrames {
    std::vector<std::vector<std::uint8_t>> data;
    std::vector<std::exception_ptr> errors;
};

CompressedFrames compressFrames(const TGIFImageList& images, int threads)
{
    const int count = images.GetCount();
    CompressedFrames frames;
    frames.data.resize(std::size_t(count));
    frames.errors.resize(std::size_t(count));
    parallelFor(count, threads, [&](int i) {
        const TGIFSubImage& frame = *images.GetImage(i);
        if (frame.GetEmpty())
            return;
        try {
            GifOutput out;
            frame.Compress(out, frame.WrittenPacked() & TGIFSubImage::kInterlaced);  // as written
            frames.data[std::size_t(i)] = std::move(out.bytes());
        } catch (...) {
            frames.errors[std::size_t(i)] = std::current_exception();
        }
    });
    return frames;
}

}  // namespace

void TGIFImage::SaveHeaderToStream(GifOutput& out)
{
    if (GetVersion() == gvUnknown)
        throw GIFException(gifmsg::kUnsupportedVersion);
    header_.Prepare();
    header_.SaveToStream(out);
}

void TGIFImage::SaveToStream(GifOutput& out)
{
    Progress(psStarting, 0, gifmsg::kSaving);
    try {
        SaveHeaderToStream(out);
        const int count = images_.GetCount();
        const int threads = std::min(workerCount(encodeThreads_), count);
        CompressedFrames compressed;
        if (threads > 1)
            compressed = compressFrames(images_, threads);
        for (int i = 0; i < count; ++i) {
            const TGIFSubImage* frame = images_.GetImage(i);
            if (threads > 1) {
                if (compressed.errors[std::size_t(i)])
                    std::rethrow_exception(compressed.errors[std::size_t(i)]);
                frame->SaveToStream(out, frame->GetEmpty() ? nullptr : &compressed.data[std::size_t(i)]);
                compressed.data[std::size_t(i)] = {};
            } else {
                frame->SaveToStream(out);
            }
            Progress(psRunning, (i + 1) * 100 / count, gifmsg::kSaving);
        }
        out.writeByte(0x3B);
    } catch (...) {
        Progress(psEnding, 0, gifmsg::kSaving);
        throw;
    }
    Progress(psEnding, 100, gifmsg::kSaving);
}

}  // namespace pelko
