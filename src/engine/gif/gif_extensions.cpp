#include "engine/gif/gif_extensions.h"

#include <algorithm>
#include <cstring>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_image.h"
#include "engine/gif/gif_sub_image.h"

namespace pelko {

namespace {

struct LabelEntry {
    std::uint8_t label;
    const TGIFExtensionClass* cls;
};
struct AppEntry {
    std::array<std::uint8_t, 11> ident;
    const TGIFExtensionClass* cls;
};

std::vector<LabelEntry>& labelRegistry()
{
    static std::vector<LabelEntry> list{{0x01, &TGIFTextExtension::Class},
                                        {0xF9, &TGIFGraphicControlExtension::Class},
                                        {0xFE, &TGIFCommentExtension::Class},
                                        {0xFF, &TGIFApplicationExtension::Class}};
    return list;
}

std::array<std::uint8_t, 11> identOf(const std::string& text)
{
    std::array<std::uint8_t, 11> id{};
    std::memcpy(id.data(), text.data(), std::min<std::size_t>(text.size(), 11));
    return id;
}

std::vector<AppEntry>& appRegistry()
{
    static std::vector<AppEntry> list{{identOf("NETSCAPE2.0"), &TGIFAppExtNSLoop::Class},
                                      {identOf("ANIMEXTS1.0"), &TGIFAppExtNSLoop::Class}};
    return list;
}

// The refinement step shared by the application extension classes: the
// block size and identification decide the class.
const TGIFExtensionClass* findApplicationSubExtension(GifInput& in)
{
    const std::size_t start = in.position();
    const int n = in.readByte();
    if (n == 10 && in.remaining() >= 10)
        return &TGIFUnknownAppExtension::Class;
    if (n == 11 && in.remaining() >= 11) {
        const TGIFExtensionClass* cls = TGIFApplicationExtension::FindApplicationClass(in.current());
        return cls ? cls : &TGIFUnknownAppExtension::Class;
    }
    // Blocks longer than 11 bytes are kept as they are.
    if (n > 11 && in.remaining() >= std::size_t(n))
        return &TGIFUnknownAppExtension::Class;
    in.seek(start);
    return nullptr;
}

template <class T>
std::unique_ptr<TGIFExtension> make(TGIFSubImage* frame)
{
    return std::make_unique<T>(frame);
}

TGIFColorMap& activeMapOf(TGIFSubImage* frame)
{
    return frame->GetActiveColorMap();
}

}  // namespace

const TGIFExtensionClass TGIFGraphicControlExtension::Class{"TGIFGraphicControlExtension", 0xF9,
                                                            &make<TGIFGraphicControlExtension>, nullptr};
const TGIFExtensionClass TGIFTextExtension::Class{"TGIFTextExtension", 0x01, &make<TGIFTextExtension>,
                                                  nullptr};
const TGIFExtensionClass TGIFCommentExtension::Class{"TGIFCommentExtension", 0xFE,
                                                     &make<TGIFCommentExtension>, nullptr};
const TGIFExtensionClass TGIFApplicationExtension::Class{
    "TGIFApplicationExtension", 0xFF, &make<TGIFApplicationExtension>, &findApplicationSubExtension};
const TGIFExtensionClass TGIFAppExtNSLoop::Class{"TGIFAppExtNSLoop", 0xFF, &make<TGIFAppExtNSLoop>,
                                                 &findApplicationSubExtension};
const TGIFExtensionClass TGIFUnknownAppExtension::Class{
    "TGIFUnknownAppExtension", 0xFF, &make<TGIFUnknownAppExtension>, &findApplicationSubExtension};

// TGIFExtension ---------------------------------------------------------------

TGIFExtension::TGIFExtension(TGIFSubImage* frame) : TGIFItem(frame ? frame->Image() : nullptr), frame_(frame)
{
}

void TGIFExtension::SaveToStream(GifOutput& out) const
{
    out.writeByte(0x21);
    out.writeByte(GetExtensionType());
    SaveBody(out);
}

void TGIFExtension::LoadFromStream(GifInput& in)
{
    if (in.readByte() != 0x21)
        throw GIFException(gifmsg::kInvalidExtensionIntroducer);
    const int label = in.readByte();
    if (label != GetExtensionType())
        throw GIFException(gifmsg::kExtensionLabelMismatch);
    LoadBody(in);
}

void TGIFExtension::RegisterExtension(std::uint8_t label, const TGIFExtensionClass& cls)
{
    labelRegistry().push_back({label, &cls});
}

const TGIFExtensionClass* TGIFExtension::FindExtension(GifInput& in)
{
    const std::size_t afterIntroducer = in.position();
    const int label = in.readByte();
    const TGIFExtensionClass* cls = nullptr;
    if (label >= 0) {
        const auto& list = labelRegistry();
        for (auto it = list.rbegin(); it != list.rend(); ++it)
            if (it->label == label) {
                cls = it->cls;
                break;
            }
    }
    // Refine until a class answers itself. Each step looks at the same bytes
    // after the label; the bound guards against registrations that point at
    // each other.
    const std::size_t afterLabel = in.position();
    for (int step = 0; cls && cls->FindSubExtension && step < 16; ++step) {
        in.seek(afterLabel);
        const TGIFExtensionClass* next = cls->FindSubExtension(in);
        if (!next || next == cls)
            break;
        cls = next;
    }
    in.seek(afterIntroducer);
    return cls;
}

// The block size of an application extension: 10 or more.
static int readApplicationBlockSize(GifInput& in)
{
    const int n = in.readByte();
    if (n < 0)
        throw GIFException(gifmsg::kPrematureEnd);
    if (n < 10)
        throw GIFException(gifmsg::kUnsupportedAppExtBlockSize);
    return n;
}

// Bytes as data sub-blocks of at most 255 bytes each (nothing for none).
static void writePieces(GifOutput& out, const void* data, std::size_t size)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t at = 0; at < size; at += 255) {
        const std::size_t n = std::min<std::size_t>(255, size - at);
        out.writeByte(std::uint8_t(n));
        out.write(p + at, n);
    }
}

// Sub-block text --------------------------------------------------------------

void writeTextSubBlocks(GifOutput& out, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) writePieces(out, line.data(), line.size());
    out.writeByte(0);
}

void readTextSubBlocks(GifInput& in, std::vector<std::string>& lines)
{
    lines.clear();
    for (;;) {
        const int n = in.readByte();
        if (n <= 0)
            break;
        std::string line(std::size_t(n), '\0');
        in.readExact(line.data(), std::size_t(n));
        lines.push_back(std::move(line));
    }
}

// Graphic control -------------------------------------------------------------

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage* frame) : TGIFExtension(frame)
{
    body_[0] = 4;
    if (frame_)
        frame_->attachGraphicControl(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension()
{
    if (!frame_)
        return;
    if (GetTransparent())
        frame_->setTransparentFlag(false);
    frame_->detachGraphicControl(this);
}

void TGIFGraphicControlExtension::SetDisposal(TDisposalMethod disposal)
{
    body_[1] = std::uint8_t((body_[1] & ~0x1C) | ((int(disposal) & 7) << 2));
}

void TGIFGraphicControlExtension::SetUserInput(bool value)
{
    body_[1] = std::uint8_t(value ? body_[1] | 0x02 : body_[1] & ~0x02);
}

void TGIFGraphicControlExtension::SetTransparent(bool value)
{
    body_[1] = std::uint8_t(value ? body_[1] | 0x01 : body_[1] & ~0x01);
    if (frame_)
        frame_->setTransparentFlag(value);
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int index)
{
    if (frame_) {
        const int count = activeMapOf(frame_).GetCount();
        if (count != 0 && (index < 0 || index >= count)) {
            Warning(gsWarning, gifmsg::kInvalidColorIndex);
            index = 0;
        }
    }
    body_[4] = std::uint8_t(index);
}

Color TGIFGraphicControlExtension::GetTransparentColor() const
{
    if (!frame_)
        throw GIFException(gifmsg::kColorTableEmpty);
    return activeMapOf(frame_).GetColor(body_[4]);
}

void TGIFGraphicControlExtension::SetTransparentColor(Color color)
{
    if (!frame_)
        return;
    body_[4] = std::uint8_t(activeMapOf(frame_).AddUnique(color));
}

void TGIFGraphicControlExtension::SaveBody(GifOutput& out) const
{
    out.write(body_.data(), body_.size());
}

void TGIFGraphicControlExtension::LoadBody(GifInput& in)
{
    // Always 6 bytes, whatever the block size says; a short body keeps what was read.
    std::array<std::uint8_t, 6> body{};
    const std::size_t got = in.read(body.data(), body.size());
    std::copy(body.begin(), body.begin() + std::ptrdiff_t(got), body_.begin());
    if (got < body.size())
        Warning(gsWarning, gifmsg::kPrematureEnd);
    if (frame_ && GetTransparent())
        frame_->setTransparentFlag(true);
}

// Text ------------------------------------------------------------------------

TGIFTextExtension::TGIFTextExtension(TGIFSubImage* frame) : TGIFExtension(frame)
{
    header_[0] = 12;
}

TGIFColorMap& TGIFTextExtension::colorMap() const
{
    if (!frame_)
        throw GIFException(gifmsg::kColorTableEmpty);
    return activeMapOf(frame_);
}

Color TGIFTextExtension::GetForegroundColor() const
{
    return colorMap().GetColor(GetForegroundColorIndex());
}
void TGIFTextExtension::SetForegroundColor(Color color)
{
    SetForegroundColorIndex(colorMap().AddUnique(color));
}
Color TGIFTextExtension::GetBackgroundColor() const
{
    return colorMap().GetColor(GetBackgroundColorIndex());
}
void TGIFTextExtension::SetBackgroundColor(Color color)
{
    SetBackgroundColorIndex(colorMap().AddUnique(color));
}

void TGIFTextExtension::SaveBody(GifOutput& out) const
{
    out.write(header_.data(), header_.size());
    writeTextSubBlocks(out, text_);
}

void TGIFTextExtension::LoadBody(GifInput& in)
{
    in.readExact(header_.data(), header_.size());
    readTextSubBlocks(in, text_);
}

// Comment ---------------------------------------------------------------------

void TGIFCommentExtension::SaveBody(GifOutput& out) const
{
    writeTextSubBlocks(out, text_);
}
void TGIFCommentExtension::LoadBody(GifInput& in)
{
    readTextSubBlocks(in, text_);
}

// Application -----------------------------------------------------------------

namespace {

// Fills a fixed field with spaces, then copies the text; a shorter text is
// followed by one 0 byte.
void setField(std::uint8_t* field, std::size_t size, const std::string& text)
{
    if (text.size() < size)
        std::memset(field, ' ', size);
    const std::size_t n = std::min(text.size(), size);
    std::memcpy(field, text.data(), n);
    if (n < size)
        field[n] = 0;
}

}  // namespace

std::string TGIFApplicationExtension::GetIdentifier() const
{
    return std::string(reinterpret_cast<const char*>(ident_.data()), 8);
}

std::string TGIFApplicationExtension::GetAuthentication() const
{
    return std::string(reinterpret_cast<const char*>(ident_.data() + 8), 3);
}

void TGIFApplicationExtension::SetIdentifier(const std::string& text)
{
    setField(ident_.data(), 8, text);
}
void TGIFApplicationExtension::SetAuthentication(const std::string& text)
{
    setField(ident_.data() + 8, 3, text);
}

void TGIFApplicationExtension::RegisterExtension(const std::string& identification,
                                                 const TGIFExtensionClass& cls)
{
    appRegistry().push_back({identOf(identification), &cls});
}

const TGIFExtensionClass* TGIFApplicationExtension::FindApplicationClass(const std::uint8_t* identification)
{
    const auto& list = appRegistry();
    for (auto it = list.rbegin(); it != list.rend(); ++it)
        if (std::memcmp(it->ident.data(), identification, 11) == 0)
            return it->cls;
    return nullptr;
}

void TGIFApplicationExtension::SaveBody(GifOutput& out) const
{
    out.writeByte(11);
    out.write(ident_.data(), ident_.size());
    SaveData(out);
}

void TGIFApplicationExtension::LoadBody(GifInput& in)
{
    const int n = readApplicationBlockSize(in);
    in.readExact(ident_.data(), ident_.size());
    const std::size_t extra = std::size_t(n > 11 ? n - 11 : 0);
    if (extra > in.remaining())
        throw GIFException(gifmsg::kPrematureEnd);
    in.skip(extra);
    LoadData(in);
}

void TGIFApplicationExtension::SaveData(GifOutput& out) const
{
    // No data sub-blocks: only the terminator, so the stream stays well formed.
    out.writeByte(0);
}

// Loop ------------------------------------------------------------------------

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* frame) : TGIFApplicationExtension(frame)
{
    ident_ = identOf("NETSCAPE2.0");
}

void TGIFAppExtNSLoop::SaveData(GifOutput& out) const
{
    out.writeByte(3);
    out.writeByte(1);
    out.writeWord(loops_);
    if (bufferSize_ != 0) {
        out.writeByte(5);
        out.writeByte(2);
        out.writeWord(std::uint16_t(bufferSize_ & 0xFFFF));
        out.writeWord(std::uint16_t(bufferSize_ >> 16));
    }
    out.writeByte(0);
}

void TGIFAppExtNSLoop::LoadData(GifInput& in)
{
    for (;;) {
        const int n = in.readByte();
        if (n <= 0)
            break;
        std::uint8_t block[255];
        in.readExact(block, std::size_t(n));
        const int kind = block[0] & 7;
        if (kind == 1) {
            if (n - 1 < 2)
                throw GIFException(gifmsg::kInvalidData);
            loops_ = gifWord(block + 1);
        } else if (kind == 2) {
            if (n - 1 < 4)
                throw GIFException(gifmsg::kInvalidData);
            bufferSize_ = std::uint32_t(gifWord(block + 1)) | (std::uint32_t(gifWord(block + 3)) << 16);
        }
    }
}

// Unknown application ---------------------------------------------------------

TGIFUnknownAppExtension::TGIFUnknownAppExtension(TGIFSubImage* frame) : TGIFApplicationExtension(frame) {}

void TGIFUnknownAppExtension::SaveBody(GifOutput& out) const
{
    if (appBlock_.size() >= 10 && appBlock_.size() != 11) {
        // An odd-sized block goes back exactly as it came.
        out.writeByte(std::uint8_t(appBlock_.size()));
        out.write(appBlock_.data(), appBlock_.size());
    } else {
        out.writeByte(11);
        out.write(ident_.data(), ident_.size());
    }
    for (const TGIFBlock& b : blocks_) writePieces(out, b.Data.data(), b.Data.size());
    out.writeByte(0);
}

void TGIFUnknownAppExtension::LoadBody(GifInput& in)
{
    const int n = readApplicationBlockSize(in);
    appBlock_.assign(std::size_t(n), 0);
    in.readExact(appBlock_.data(), appBlock_.size());
    ident_.fill(0);
    std::memcpy(ident_.data(), appBlock_.data(), std::min<std::size_t>(11, appBlock_.size()));
    blocks_.clear();
    for (;;) {
        const int len = in.readByte();
        if (len <= 0)
            break;
        TGIFBlock b;
        b.Data.resize(std::size_t(len));
        in.readExact(b.Data.data(), b.Data.size());
        blocks_.push_back(std::move(b));
    }
}

}  // namespace pelko
