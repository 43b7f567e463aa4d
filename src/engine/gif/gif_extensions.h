#pragma once
// Extension blocks of a GIF image. They belong to the frame that follows them
// in the stream, in file order, and are written back where they stand.
//
// Classes are found through two registries: the label byte after 0x21 gives
// an extension class, and for application extensions the 11 identification
// bytes refine it. Both are searched from the latest registration backwards.

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/gif/gif_item.h"
#include "engine/image/picture.h"

namespace pelko {

class TGIFSubImage;
class TGIFExtension;
class TGIFColorMap;

// The "class" of an extension: its name, label, factory, and the refinement
// step of the lookup (null answers the class itself).
struct TGIFExtensionClass {
    const char* Name;
    std::uint8_t Label;
    std::unique_ptr<TGIFExtension> (*Create)(TGIFSubImage* frame);
    // Called with the stream just after the label; may move the stream.
    const TGIFExtensionClass* (*FindSubExtension)(GifInput& in);
};

class TGIFExtension : public TGIFItem {
public:
    explicit TGIFExtension(TGIFSubImage* frame);

    TGIFSubImage* SubImage() const { return frame_; }
    virtual const TGIFExtensionClass& GetClass() const = 0;
    std::uint8_t GetExtensionType() const { return GetClass().Label; }
    TGIFVersion GetVersion() const override { return gv89a; }

    // 0x21, the label, then the body.
    void SaveToStream(GifOutput& out) const override;
    // Expects 0x21 and this class's label, then reads the body.
    void LoadFromStream(GifInput& in) override;

    static void RegisterExtension(std::uint8_t label, const TGIFExtensionClass& cls);
    // With the stream just after a 0x21: the class for the label that follows
    // (refined through FindSubExtension), or null. The stream is left just
    // after the 0x21.
    static const TGIFExtensionClass* FindExtension(GifInput& in);

protected:
    virtual void SaveBody(GifOutput& out) const = 0;
    virtual void LoadBody(GifInput& in) = 0;

    TGIFSubImage* frame_;
};

// The longest frame delay a graphic control extension holds, in hundredths
// of a second.
constexpr int kGifMaxDelay = 0xFFFF;

// A frame time in milliseconds as a delay in hundredths of a second:
// rounded down, within 0..kGifMaxDelay.
constexpr int gifDelayOf(int ms)
{
    return std::clamp(ms / 10, 0, kGifMaxDelay);
}

// Graphic control extension (0xF9): delay, disposal and transparency of its frame.
class TGIFGraphicControlExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass Class;
    explicit TGIFGraphicControlExtension(TGIFSubImage* frame);
    ~TGIFGraphicControlExtension() override;
    const TGIFExtensionClass& GetClass() const override { return Class; }

    int GetDelay() const { return gifWord(&body_[2]); }
    void SetDelay(int delay) { putGifWord(&body_[2], std::uint16_t(delay)); }
    TDisposalMethod GetDisposal() const { return TDisposalMethod((body_[1] >> 2) & 7); }
    void SetDisposal(TDisposalMethod disposal);
    bool GetUserInput() const { return body_[1] & 0x02; }
    void SetUserInput(bool value);
    bool GetTransparent() const { return body_[1] & 0x01; }
    void SetTransparent(bool value);
    int GetTransparentColorIndex() const { return body_[4]; }
    void SetTransparentColorIndex(int index);
    // Stores the index without the check against the map.
    void storeTransparentColorIndex(int index) { body_[4] = std::uint8_t(index); }
    Color GetTransparentColor() const;
    void SetTransparentColor(Color color);

    // The 6 body bytes as stored: block size, packed fields, delay (2),
    // transparent colour index, block terminator.
    const std::array<std::uint8_t, 6>& Body() const { return body_; }
    std::uint8_t GetPacked() const { return body_[1]; }

protected:
    void SaveBody(GifOutput& out) const override;
    void LoadBody(GifInput& in) override;

private:
    std::array<std::uint8_t, 6> body_{};
};

// Lines of text in sub-blocks, shared by the text and comment extensions.
// Writing cuts each line into pieces of at most 255 bytes (an empty line
// writes nothing); reading makes one line of each sub-block.
void writeTextSubBlocks(GifOutput& out, const std::vector<std::string>& lines);
void readTextSubBlocks(GifInput& in, std::vector<std::string>& lines);

// Plain text extension (0x01).
class TGIFTextExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass Class;
    explicit TGIFTextExtension(TGIFSubImage* frame);
    const TGIFExtensionClass& GetClass() const override { return Class; }

    int GetLeft() const { return gifWord(&header_[1]); }
    void SetLeft(int v) { putGifWord(&header_[1], std::uint16_t(v)); }
    int GetTop() const { return gifWord(&header_[3]); }
    void SetTop(int v) { putGifWord(&header_[3], std::uint16_t(v)); }
    int GetGridWidth() const { return gifWord(&header_[5]); }
    void SetGridWidth(int v) { putGifWord(&header_[5], std::uint16_t(v)); }
    int GetGridHeight() const { return gifWord(&header_[7]); }
    void SetGridHeight(int v) { putGifWord(&header_[7], std::uint16_t(v)); }
    int GetCellWidth() const { return header_[9]; }
    void SetCellWidth(int v) { header_[9] = std::uint8_t(v); }
    int GetCellHeight() const { return header_[10]; }
    void SetCellHeight(int v) { header_[10] = std::uint8_t(v); }
    int GetForegroundColorIndex() const { return header_[11]; }
    void SetForegroundColorIndex(int v) { header_[11] = std::uint8_t(v); }
    int GetBackgroundColorIndex() const { return header_[12]; }
    void SetBackgroundColorIndex(int v) { header_[12] = std::uint8_t(v); }
    Color GetForegroundColor() const;
    void SetForegroundColor(Color color);
    Color GetBackgroundColor() const;
    void SetBackgroundColor(Color color);

    std::vector<std::string>& Text() { return text_; }
    const std::vector<std::string>& Text() const { return text_; }
    const std::array<std::uint8_t, 13>& Header() const { return header_; }

protected:
    void SaveBody(GifOutput& out) const override;
    void LoadBody(GifInput& in) override;

private:
    TGIFColorMap& colorMap() const;
    std::array<std::uint8_t, 13> header_{};
    std::vector<std::string> text_;
};

// Comment extension (0xFE).
class TGIFCommentExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass Class;
    explicit TGIFCommentExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}
    const TGIFExtensionClass& GetClass() const override { return Class; }

    std::vector<std::string>& Text() { return text_; }
    const std::vector<std::string>& Text() const { return text_; }

protected:
    void SaveBody(GifOutput& out) const override;
    void LoadBody(GifInput& in) override;

private:
    std::vector<std::string> text_;
};

// Application extension (0xFF): 8 identifier and 3 authentication bytes, then
// data sub-blocks that the subclasses read and write.
class TGIFApplicationExtension : public TGIFExtension {
public:
    static const TGIFExtensionClass Class;
    explicit TGIFApplicationExtension(TGIFSubImage* frame) : TGIFExtension(frame) {}
    const TGIFExtensionClass& GetClass() const override { return Class; }

    std::string GetIdentifier() const;      // the first 8 bytes
    std::string GetAuthentication() const;  // the last 3 bytes
    void SetIdentifier(const std::string& text);
    void SetAuthentication(const std::string& text);
    const std::array<std::uint8_t, 11>& Identification() const { return ident_; }

    static void RegisterExtension(const std::string& identification, const TGIFExtensionClass& cls);
    // The class registered for these 11 bytes, or null.
    static const TGIFExtensionClass* FindApplicationClass(const std::uint8_t* identification);

protected:
    void SaveBody(GifOutput& out) const override;
    void LoadBody(GifInput& in) override;
    // The data sub-blocks and their terminator; the base class has none.
    virtual void SaveData(GifOutput& out) const;
    virtual void LoadData(GifInput& in) {}

    std::array<std::uint8_t, 11> ident_{};
};

// The loop extension "NETSCAPE2.0" (also read under "ANIMEXTS1.0").
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    static const TGIFExtensionClass Class;
    explicit TGIFAppExtNSLoop(TGIFSubImage* frame);
    const TGIFExtensionClass& GetClass() const override { return Class; }

    int GetLoops() const { return loops_; }  // 0 means endless
    void SetLoops(int loops) { loops_ = std::uint16_t(loops); }
    std::uint32_t GetBufferSize() const { return bufferSize_; }
    void SetBufferSize(std::uint32_t size) { bufferSize_ = size; }

protected:
    void SaveData(GifOutput& out) const override;
    void LoadData(GifInput& in) override;

private:
    std::uint16_t loops_ = 0;
    std::uint32_t bufferSize_ = 0;
};

// One data sub-block of 1..255 bytes.
struct TGIFBlock {
    std::vector<std::uint8_t> Data;
};

// Any other application extension, kept exactly as read: its block (usually
// the 11 identification bytes, but any size of 10 or more) and its data
// sub-blocks.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    static const TGIFExtensionClass Class;
    explicit TGIFUnknownAppExtension(TGIFSubImage* frame);
    const TGIFExtensionClass& GetClass() const override { return Class; }

    std::vector<TGIFBlock>& Blocks() { return blocks_; }
    const std::vector<TGIFBlock>& Blocks() const { return blocks_; }
    // The application block as read (11 bytes for a well-formed extension).
    const std::vector<std::uint8_t>& ApplicationBlock() const { return appBlock_; }

protected:
    void SaveBody(GifOutput& out) const override;
    void LoadBody(GifInput& in) override;

private:
    std::vector<std::uint8_t> appBlock_;
    std::vector<TGIFBlock> blocks_;
};

}  // namespace pelko
