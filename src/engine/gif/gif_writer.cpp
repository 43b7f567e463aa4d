// Writing the image model as a GIF stream.

#include "engine/gif/gif_encoder.h"
#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"

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

void TGIFSubImage::SaveToStream(GifOutput& out) const
{
    extensions_.SaveToStream(out);
    if (GetEmpty())
        return;
    if (colorMap_.GetCount() > 0) {
        // A frame with its own table is written in plain row order.
        packed_ = std::uint8_t(kLocalColorTable | (colorMap_.GetOptimized() ? kSorted : 0) |
                               ((colorMap_.GetBitsPerPixel() - 1) & kTableSize));
    } else {
        packed_ &= kInterlaced | kReserved;
    }
    out.writeByte(0x2C);
    out.writeWord(std::uint16_t(left_));
    out.writeWord(std::uint16_t(top_));
    out.writeWord(std::uint16_t(width_));
    out.writeWord(std::uint16_t(height_));
    out.writeByte(packed_);
    colorMap_.SaveToStream(out);
    Compress(out);
}

void TGIFSubImage::Compress(GifOutput& out) const
{
    TGIFEncodeSource source;
    if (!GetEmpty()) {
        if (data_.size() != std::size_t(width_) * std::size_t(height_))
            throw GIFException(gifmsg::kImageEmpty);
        source.pixels = data_.data();
    }
    source.width = width_;
    source.height = height_;
    source.interlaced = GetInterlaced();
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
    } else {
        TLZWEncoder encoder;
        encoder.Encode(out, source);
    }
}

void TGIFImage::SaveToStream(GifOutput& out)
{
    Progress(psStarting, 0, gifmsg::kSaving);
    try {
        if (GetVersion() == gvUnknown)
            throw GIFException(gifmsg::kUnsupportedVersion);
        header_.Prepare();
        header_.SaveToStream(out);
        const int count = images_.GetCount();
        for (int i = 0; i < count; ++i) {
            images_.GetImage(i)->SaveToStream(out);
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
