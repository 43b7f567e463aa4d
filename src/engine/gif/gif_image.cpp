#include "engine/gif/gif_image.h"

#include <algorithm>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_painter_list.h"
#include "engine/image/ppm.h"

namespace pelko {

// TGIFHeader --------------------------------------------------------------------

TGIFHeader::TGIFHeader(TGIFImage* image) : TGIFItem(image), colorMap_(this) {}

void TGIFHeader::Clear()
{
    colorMap_.Clear();
    width_ = height_ = 0;
    packed_ = background_ = aspect_ = 0;
}

void TGIFHeader::SetBackgroundColorIndex(int index)
{
    const int count = colorMap_.GetCount();
    if (count != 0 && (index < 0 || index >= count)) {
        Warning(gsWarning, gifmsg::kInvalidColorIndex);
        index = 0;
    }
    background_ = std::uint8_t(index);
}

Color TGIFHeader::GetBackgroundColor() const
{
    return colorMap_.GetColor(background_);
}

void TGIFHeader::SetBackgroundColor(Color color)
{
    background_ = std::uint8_t(colorMap_.AddUnique(color));
}

TGIFVersion TGIFHeader::GetVersion() const
{
    return colorMap_.GetOptimized() || aspect_ != 0 ? gv89a : gv87a;
}

void TGIFHeader::Prepare()
{
    const int imageBits = image_ ? image_->GetBitsPerPixel() : colorMap_.GetBitsPerPixel();
    std::uint8_t packed = 0;
    if (colorMap_.GetCount() > 0) {
        packed |= 0x80;
        if (colorMap_.GetOptimized())
            packed |= 0x08;
    }
    packed |= std::uint8_t((std::max(imageBits - 1, 0) & 7) << 4);
    const int tableBits = colorMap_.GetCount() > 0 ? colorMap_.GetBitsPerPixel() : imageBits;
    packed |= std::uint8_t(std::max(tableBits - 1, 0) & 7);
    packed_ = packed;
}

// TGIFImage ---------------------------------------------------------------------

TGIFImage::TGIFImage()
    : painters_(std::make_shared<TGIFPainterList>()),
      header_(this),
      images_(this),
      drawOptions_(GIFImageDefaultDrawOptions),
      colorReduction_(GIFImageDefaultColorReduction),
      reductionBits_(GIFImageDefaultColorReductionBits),
      ditherMode_(GIFImageDefaultDitherMode),
      compression_(GIFImageDefaultCompression),
      threadPriority_(GIFImageDefaultThreadPriority),
      animationSpeed_(GIFImageDefaultAnimationSpeed)
{
}

TGIFImage::~TGIFImage()
{
    PaintStop(*this);
    OnWarning = nullptr;
    images_.Clear();
}

void TGIFImage::Clear()
{
    PaintStop(*this);
    FreeCaches();
    images_.Clear();
    header_.ColorMap().Clear();
    header_.setWidth(0);
    header_.setHeight(0);
    header_.Prepare();
    FreeCaches();
}

int TGIFImage::Add(std::unique_ptr<TGIFSubImage> frame)
{
    if (!frame)
        throw GIFException(gifmsg::kUnsupportedObject);
    const int index = images_.Add(std::move(frame));
    FreeCaches();
    Changed();
    return index;
}

void TGIFImage::Assign(const TGIFImage* source)
{
    if (source == this)
        return;
    Clear();
    if (!source)
        return;
    // Borrow the source's observers for the copy.
    OnWarning = source->OnWarning;
    OnProgress = source->OnProgress;
    Progress(psStarting, 0, gifmsg::kCopying);
    header_.ColorMap().Assign(source->header_.ColorMap());
    header_.setWidth(source->header_.GetWidth());
    header_.setHeight(source->header_.GetHeight());
    header_.setPacked(source->header_.GetPacked());
    header_.setBackgroundRaw(source->header_.GetBackgroundColorIndex());
    header_.SetAspectRatio(source->header_.GetAspectRatio());
    threadPriority_ = source->threadPriority_;
    drawBackgroundColor_ = source->drawBackgroundColor_;
    drawOptions_ = source->drawOptions_;
    colorReduction_ = source->colorReduction_;
    ditherMode_ = source->ditherMode_;
    const int count = source->images_.GetCount();
    for (int i = 0; i < count; ++i) {
        auto frame = std::make_unique<TGIFSubImage>(this);
        frame->Assign(source->images_.GetImage(i));
        Add(std::move(frame));
        Progress(psRunning, (i + 1) * 100 / count, gifmsg::kCopying);
    }
    Progress(psEnding, 100, gifmsg::kCopying);
    OnWarning = nullptr;
    OnProgress = nullptr;
}

void TGIFImage::Pack()
{
    FreeCaches();
    for (const auto& frame : images_) frame->FreeCaches();
    if (header_.ColorMap().GetCount() == 0 && images_.GetCount() == 1) {
        TGIFSubImage* frame = images_.First();
        header_.ColorMap().Assign(frame->ColorMap());
        frame->ColorMap().Clear();
    }
}

void TGIFImage::SetWidth(int width)
{
    for (const auto& f : images_)
        if (width < f->GetLeft() + f->GetWidth())
            throw GIFException(gifmsg::kWidthTooSmall);
    if (width != header_.GetWidth()) {
        header_.setWidth(width);
        FreeCaches();
        Changed();
    }
}

void TGIFImage::SetHeight(int height)
{
    for (const auto& f : images_)
        if (height < f->GetTop() + f->GetHeight())
            throw GIFException(gifmsg::kHeightTooSmall);
    if (height != header_.GetHeight()) {
        header_.setHeight(height);
        FreeCaches();
        Changed();
    }
}

int TGIFImage::GetBitsPerPixel() const
{
    int bits = header_.GetBitsPerPixel();
    for (const auto& f : images_) bits = std::max(bits, f->GetBitsPerPixel());
    return bits;
}

bool TGIFImage::GetIsTransparent() const
{
    for (const auto& f : images_)
        if (f->GetTransparent())
            return true;
    return false;
}

TGIFVersion TGIFImage::GetVersion() const
{
    if (images_.GetCount() == 0)
        return gvUnknown;
    for (const auto& f : images_)
        if (f->GetVersion() == gv89a)
            return gv89a;
    return gv87a;
}

void TGIFImage::SetReductionBits(int bits)
{
    if (bits < 3 || bits > 8)
        throw GIFException(gifmsg::kInvalidBitsPerPixel);
    reductionBits_ = bits;
}

void TGIFImage::SetAnimationSpeed(int speed)
{
    speed = std::clamp(speed, 0, 1000);
    if (speed == animationSpeed_)
        return;
    animationSpeed_ = speed;
    std::lock_guard<std::recursive_mutex> guard(painters_->Lock());
    if (std::shared_ptr<TGIFListedPainter> painter = painters_->drawPainter())
        painter->SetAnimationSpeed(speed);
}

void TGIFImage::SetDrawOptions(TGIFDrawOptions options)
{
    if (options == drawOptions_)
        return;
    StopDraw(*this);
    drawOptions_ = options;
    Pack();
    Changed();
}

bool TGIFImage::GetDoDither() const
{
    return drawOptions_.Contains(goDither) && (!drawOptions_.Contains(goAutoDither) || DoAutoDither);
}

void TGIFImage::Warning(const void* sender, TGIFSeverity severity, const std::string& message) const
{
    if (OnWarning)
        OnWarning(sender, severity, message);
}

void TGIFImage::Progress(TProgressStage stage, int percent, const std::string& message) const
{
    if (OnProgress)
        OnProgress(stage, percent, message);
}

void TGIFImage::Changed()
{
    if (OnChange)
        OnChange();
}

void TGIFImage::chargeReadBytes(std::int64_t bytes)
{
    if (bytes < 0 || bytes > GIFImageMaxTotalPixels - readBytes_)
        throw GIFException(gifmsg::kImageTooLarge);
    readBytes_ += bytes;
}

std::size_t TGIFImage::missingPixelsAllowed() const
{
    return std::size_t(std::max<std::int64_t>(GIFImageMaxMissingPixels - missingPixels_, 0));
}

void TGIFImage::chargeMissingPixels(std::size_t pixels)
{
    missingPixels_ += std::int64_t(pixels);
}

void TGIFImage::LoadFromBytes(const std::uint8_t* data, std::size_t size)
{
    GifInput in(data, size);
    LoadFromStream(in);
}

std::vector<std::uint8_t> TGIFImage::SaveToBytes()
{
    GifOutput out;
    SaveToStream(out);
    return std::move(out.bytes());
}

void TGIFImage::LoadFromFile(const std::string& name)
{
    std::vector<std::uint8_t> bytes = readFile(name);
    LoadFromBytes(bytes.data(), bytes.size());
}

void TGIFImage::SaveToFile(const std::string& name)
{
    writeFile(name, SaveToBytes());
}

}  // namespace pelko
