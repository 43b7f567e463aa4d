#include "engine/gif/gif_sub_image.h"

#include <algorithm>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"

namespace pelko {

TGIFSubImage::TGIFSubImage(TGIFImage* image) : TGIFItem(image), colorMap_(this), extensions_(image) {}

TGIFSubImage::~TGIFSubImage()
{
    // The extensions reach back into this frame while they go.
    extensions_.Clear();
}

void TGIFSubImage::Clear()
{
    extensions_.Clear();
    colorMap_.Clear();
    FreeImage();
    width_ = 0;
    height_ = 0;
    transparent_ = false;
    gce_ = nullptr;
    FreeCaches();
}

TGIFVersion TGIFSubImage::GetVersion() const
{
    return colorMap_.GetOptimized() || extensions_.GetCount() > 0 ? gv89a : gv87a;
}

void TGIFSubImage::detachGraphicControl(TGIFGraphicControlExtension* gce)
{
    if (gce_ == gce)
        gce_ = nullptr;
}

void TGIFSubImage::setDescriptor(int left, int top, int width, int height, std::uint8_t packed)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    packed_ = packed;
}

void TGIFSubImage::SetInterlaced(bool value)
{
    packed_ = std::uint8_t(value ? packed_ | kInterlaced : packed_ & ~kInterlaced);
}

int TGIFSubImage::GetBounds(int part) const
{
    switch (part) {
        case 1:
            return left_;
        case 2:
            return top_;
        case 3:
            return width_;
        case 4:
            return height_;
        default:
            return 0;
    }
}

void TGIFSubImage::SetBounds(int part, int value)
{
    value = std::clamp(value, 0, 0xFFFF);
    switch (part) {
        case 1:
            left_ = value;
            break;
        case 2:
            top_ = value;
            break;
        case 3:
        case 4: {
            int& side = part == 3 ? width_ : height_;
            if (side == value)
                break;
            const int w = part == 3 ? value : width_;
            const int h = part == 4 ? value : height_;
            if (std::int64_t(w) * h > GIFImageMaxFramePixels)
                throw GIFException(gifmsg::kImageTooLarge);
            side = value;
            FreeCaches();
            NewImage();
            break;
        }
        default:
            return;
    }
    if (!image_)
        return;
    // Grow the logical screen to hold the frame.
    TGIFHeader& header = image_->Header();
    bool warned = false;
    if (left_ + width_ > header.GetWidth()) {
        const int old = header.GetWidth();
        header.setWidth(std::min(left_ + width_, 0xFFFF));
        if (old != 0) {
            Warning(gsWarning, gifmsg::kWidthTooSmall);
            warned = true;
        }
    }
    if (top_ + height_ > header.GetHeight()) {
        const int old = header.GetHeight();
        header.setHeight(std::min(top_ + height_, 0xFFFF));
        if (old != 0) {
            Warning(gsWarning, gifmsg::kHeightTooSmall);
            warned = true;
        }
    }
    if (warned)
        Warning(gsWarning, gifmsg::kImageExceedsScreen);
}

TGIFColorMap& TGIFSubImage::GetActiveColorMap()
{
    if (colorMap_.GetCount() > 0)
        return colorMap_;
    if (image_ && image_->GetColorMap().GetCount() > 0)
        return image_->GetColorMap();
    return colorMap_;
}

const TGIFColorMap& TGIFSubImage::GetActiveColorMap() const
{
    return const_cast<TGIFSubImage*>(this)->GetActiveColorMap();
}

bool TGIFSubImage::GetEmpty() const
{
    return data_.empty() || width_ == 0 || height_ == 0;
}

void TGIFSubImage::checkNotEmpty() const
{
    if (std::int64_t(width_) * height_ == 0)
        throw GIFException(gifmsg::kImageEmpty);
}

void TGIFSubImage::NeedImage()
{
    checkNotEmpty();
    if (data_.size() != std::size_t(width_) * std::size_t(height_))
        NewImage();
}

void TGIFSubImage::NewImage()
{
    FreeImage();
    if (width_ > 0 && height_ > 0)
        data_.assign(std::size_t(width_) * std::size_t(height_), 0);
}

void TGIFSubImage::FreeImage()
{
    data_.clear();
    data_.shrink_to_fit();
}

std::uint8_t* TGIFSubImage::GetScanline(int row)
{
    NeedImage();
    if (row < 0 || row >= height_)
        throw GIFException(gifmsg::kInvalidPixelCoordinates);
    return data_.data() + std::size_t(row) * std::size_t(width_);
}

std::uint8_t* TGIFSubImage::GetPixel(int x, int y)
{
    NeedImage();
    if (x < 0 || x >= width_ || y < 0 || y >= height_)
        throw GIFException(gifmsg::kInvalidPixelCoordinates);
    return data_.data() + std::size_t(y) * std::size_t(width_) + std::size_t(x);
}

void TGIFSubImage::Assign(const TGIFSubImage* source)
{
    if (source == this)
        return;
    Clear();
    if (!source)
        return;
    if (!source->GetEmpty()) {
        left_ = source->left_;
        top_ = source->top_;
        width_ = source->width_;
        height_ = source->height_;
        packed_ = source->packed_;
        transparent_ = source->transparent_;
        data_ = source->data_;
        colorMap_.Assign(source->colorMap_);
    }
    // Extensions are re-created by writing them out and reading them back,
    // which also rebuilds the graphic control reference.
    GifOutput out;
    source->extensions_.SaveToStream(out);
    GifInput in(out.bytes());
    while (!in.atEnd()) {
        in.readByte();  // 0x21
        const TGIFExtensionClass* cls = TGIFExtension::FindExtension(in);
        in.unread();
        if (!cls)
            break;
        std::unique_ptr<TGIFExtension> e = cls->Create(this);
        e->LoadFromStream(in);
        extensions_.Add(std::move(e));
    }
    transparent_ = source->transparent_;
}

}  // namespace pelko
