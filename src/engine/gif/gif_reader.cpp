// Reading a GIF stream into the image model.

#include <cctype>
#include <cstdint>
#include <cstring>

#include "engine/gif/gif_decoder.h"
#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"
#include "engine/image/pixel_budget.h"

namespace pelko {

namespace {

// What each frame costs against the read limit besides its pixels, so that a
// file of countless tiny frames is refused too.
constexpr std::int64_t kFrameCost = 1024;
constexpr std::int64_t kExtensionCost = 128;
// Extensions kept before one image. Real files have a handful; the rest of a
// longer run is read and checked but dropped (a first graphic control
// extension excepted, as it is the one that applies).
constexpr int kMaxExtensionsPerFrame = 256;

bool isGifSignature(const std::uint8_t* sig)
{
    return std::toupper(sig[0]) == 'G' && std::toupper(sig[1]) == 'I' && std::toupper(sig[2]) == 'F';
}

// The next byte that is not 0x00, or -1 at the end of the stream.
int nextBlockByte(GifInput& in)
{
    int b;
    do b = in.readByte();
    while (b == 0x00);
    return b;
}

}  // namespace

void TGIFHeader::LoadFromStream(GifInput& in)
{
    const std::size_t start = in.position();
    std::uint8_t sig[6];
    in.readExact(sig, sizeof sig);
    if (!isGifSignature(sig)) {
        // Some files carry 4 bytes before the signature.
        in.seek(start);
        in.skip(4);
        in.readExact(sig, sizeof sig);
        if (!isGifSignature(sig))
            throw GIFException(gifmsg::kInvalidSignature);
    }
    std::uint8_t lsd[7];
    in.readExact(lsd, sizeof lsd);
    width_ = gifWord(lsd);
    height_ = gifWord(lsd + 2);
    packed_ = lsd[4];
    background_ = lsd[5];
    aspect_ = lsd[6];
    if (packed_ & 0x80)
        colorMap_.LoadFromStream(in, 2 << (packed_ & 7));
    else
        colorMap_.Clear();
}

void TGIFSubImage::LoadFromStream(GifInput& in)
{
    Clear();

    // The extensions before the image.
    bool warnedDropping = false;
    int b = in.readByte();
    while (b >= 0 && b != 0x2C && b != 0x3B) {
        if (b != 0x21) {
            Warning(gsWarning, gifmsg::kInvalidExtensionIntroducer);
            break;
        }
        const TGIFExtensionClass* cls = TGIFExtension::FindExtension(in);
        if (!cls)
            throw GIFException(gifmsg::kUnknownExtensionType);
        in.unread();
        const std::size_t before = in.position();
        const bool keep = extensions_.GetCount() < kMaxExtensionsPerFrame ||
                          (!gce_ && cls == &TGIFGraphicControlExtension::Class);
        // One that is dropped belongs to no frame, so it cannot touch this one.
        std::unique_ptr<TGIFExtension> extension = cls->Create(keep ? this : nullptr);
        extension->LoadFromStream(in);
        if (keep) {
            // Extensions count against the read limit too: their objects
            // weigh more than their bytes in the file.
            if (image_)
                image_->chargeReadBytes(kExtensionCost + std::int64_t(in.position() - before) * 4);
            extensions_.Add(std::move(extension));
        } else if (!warnedDropping) {
            Warning(gsWarning, gifmsg::kTooManyExtensions);
            warnedDropping = true;
        }
        b = in.readByte();
    }
    if (b >= 0)
        in.unread();

    // Extensions with no image after them make an empty frame.
    const int next = in.peek();
    if (next < 0 || next == 0x3B || next == 0x00)
        return;

    std::uint8_t d[10];
    in.readExact(d, sizeof d);
    int width = gifWord(d + 5);
    int height = gifWord(d + 7);
    if (width == 0 || height == 0) {
        width = image_ ? image_->GetWidth() : 0;
        height = image_ ? image_->GetHeight() : 0;
        Warning(gsWarning, gifmsg::kImageExceedsScreen);
    }
    // Refuse sizes no sane file has before allocating anything for them:
    // beyond the pixel budget when the pixels are kept, and beyond the
    // codec's own frame limit in any case.
    const std::int64_t pixels = std::int64_t(width) * height;
    if ((!image_ || image_->GetReadPixels()) && !withinPixelBudget(width, height))
        throw GIFException(pictureTooLargeMessage(width, height));
    if (pixels > GIFImageMaxFramePixels)
        throw GIFException(gifmsg::kImageTooLarge);
    if (image_)
        image_->chargeReadBytes(pixels);
    setDescriptor(gifWord(d + 1), gifWord(d + 3), width, height, d[9]);

    if (packed_ & kLocalColorTable)
        colorMap_.LoadFromStream(in, 2 << (packed_ & kTableSize));
    Decompress(in);
}

void TGIFSubImage::Decompress(GifInput& in)
{
    const std::uint8_t fill = transparent_ && gce_ ? std::uint8_t(gce_->GetTransparentColorIndex()) : 0;
    FreeCaches();
    if (image_ && !image_->GetReadPixels()) {
        FreeImage();
        decodeGifImageData(in, nullptr, width_, height_, GetInterlaced(), fill, SIZE_MAX, *this);
        return;
    }
    const std::size_t allowed =
        image_ ? image_->missingPixelsAllowed() : std::size_t(GIFImageMaxMissingPixels);
    const std::size_t produced =
        decodeGifImageData(in, &data_, width_, height_, GetInterlaced(), fill, allowed, *this);
    if (image_)
        image_->chargeMissingPixels(std::size_t(width_) * std::size_t(height_) - produced);
}

void TGIFImage::LoadFromStream(GifInput& in)
{
    Progress(psStarting, 0, gifmsg::kLoading);
    Clear();
    readBytes_ = 0;
    missingPixels_ = 0;
    const std::size_t start = in.position();
    try {
        header_.LoadFromStream(in);

        int b = nextBlockByte(in);
        while (b >= 0 && b != 0x3B) {
            in.unread();
            if (b != 0x21 && b != 0x2C) {
                Warning(this, gsWarning, gifmsg::kUnknownBlockType);
                break;
            }
            chargeReadBytes(kFrameCost);
            auto frame = std::make_unique<TGIFSubImage>(this);
            frame->LoadFromStream(in);
            images_.Add(std::move(frame));
            const int percent = in.size() ? int(std::uint64_t(in.position()) * 100 / in.size()) : 100;
            Progress(psRunning, percent, gifmsg::kLoading);
            b = nextBlockByte(in);
        }
        if (b == 0x3B)
            in.unread();

        const int trailer = in.readByte();
        if (trailer >= 0 && trailer != 0x3B)
            Warning(this, gsWarning, gifmsg::kInvalidTrailer);
    } catch (...) {
        in.seek(start);
        FreeCaches();
        Progress(psEnding, 0, gifmsg::kLoading);
        throw;
    }
    FreeCaches();
    Changed();
    Progress(psEnding, 100, gifmsg::kLoading);
}

}  // namespace pelko
