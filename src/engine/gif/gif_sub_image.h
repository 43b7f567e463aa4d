#pragma once
// TGIFSubImage: one frame of a GIF image. Its image descriptor, its local
// colour map, the extensions that precede it in the stream, and its pixels:
// one colour index per pixel, width x height bytes, rows top to bottom.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/gif/gif_color_map.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/gif_item.h"

namespace pelko {

class TGIFExtensionList : public TGIFList<TGIFExtension> {
public:
    using TGIFList::TGIFList;
    TGIFExtension* GetExtension(int index) const { return GetItem(index); }
    void SetExtension(int index, std::unique_ptr<TGIFExtension> e) { SetItem(index, std::move(e)); }
};

class TGIFSubImage : public TGIFItem {
public:
    // Descriptor packed-field bits.
    static constexpr std::uint8_t kLocalColorTable = 0x80;
    static constexpr std::uint8_t kInterlaced = 0x40;
    static constexpr std::uint8_t kSorted = 0x20;
    static constexpr std::uint8_t kReserved = 0x18;
    static constexpr std::uint8_t kTableSize = 0x07;

    // A frame of image (not yet in its list: TGIFImage::Add appends it).
    explicit TGIFSubImage(TGIFImage* image);
    ~TGIFSubImage() override;

    // Deletes the extensions, empties the local map, frees the pixels, sets
    // width and height to 0 (left and top stay).
    void Clear();
    void LoadFromStream(GifInput& in) override;
    void SaveToStream(GifOutput& out) const override;
    // The same with the image data that Compress() made beforehand (null:
    // compressed here).
    void SaveToStream(GifOutput& out, const std::vector<std::uint8_t>* compressed) const;
    // Reads the minimum code size and the image data into new pixel data.
    void Decompress(GifInput& in);
    // Writes the minimum code size, the image data sub-blocks and the 0
    // terminator with the owning image's compression. Reads the frame only,
    // so frames of one image may be compressed on different threads.
    void Compress(GifOutput& out) const;
    // The same in plain or interlaced row order, whatever the frame's flag.
    void Compress(GifOutput& out, bool interlaced) const;
    // The descriptor's packed field as written: a local table's fields, or
    // the interlace and reserved bits kept.
    std::uint8_t WrittenPacked() const;
    // Copies another frame: descriptor, transparency, pixels, local map and
    // (re-created) extensions. Null clears.
    void Assign(const TGIFSubImage* source);

    // gv89a with a sorted local map or any extension.
    TGIFVersion GetVersion() const override;

    // part 1 left, 2 top, 3 width, 4 height.
    int GetBounds(int part) const;
    void SetBounds(int part, int value);
    int GetLeft() const { return left_; }
    int GetTop() const { return top_; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    void SetLeft(int v) { SetBounds(1, v); }
    void SetTop(int v) { SetBounds(2, v); }
    void SetWidth(int v) { SetBounds(3, v); }
    void SetHeight(int v) { SetBounds(4, v); }
    TGIFRect GetBoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    TGIFRect GetClientRect() const { return {0, 0, width_, height_}; }
    bool GetInterlaced() const { return packed_ & kInterlaced; }
    void SetInterlaced(bool value);
    std::uint8_t GetPacked() const { return packed_; }

    TGIFLocalColorMap& ColorMap() { return colorMap_; }
    const TGIFLocalColorMap& ColorMap() const { return colorMap_; }
    // The local map when it has colours, else the global map when that has
    // colours, else the (empty) local map.
    TGIFColorMap& GetActiveColorMap();
    const TGIFColorMap& GetActiveColorMap() const;
    int GetBitsPerPixel() const { return colorMap_.GetBitsPerPixel(); }
    int GetColorResolution() const { return GetBitsPerPixel() - 1; }

    TGIFExtensionList& Extensions() { return extensions_; }
    const TGIFExtensionList& Extensions() const { return extensions_; }
    // The extension whose delay, disposal and transparency apply, or null.
    TGIFGraphicControlExtension* GraphicControlExtension() const { return gce_; }
    bool GetTransparent() const { return transparent_; }

    // True when there is no pixel data or width or height is 0.
    bool GetEmpty() const;
    // The pixel data (width x height bytes when not empty).
    std::vector<std::uint8_t>& Data() { return data_; }
    const std::vector<std::uint8_t>& Data() const { return data_; }
    // Row and pixel access; "Invalid pixel coordinates" outside the frame,
    // "Image is empty" when width x height is 0.
    std::uint8_t* GetScanline(int row);
    std::uint8_t* GetPixel(int x, int y);
    // Makes zero-filled pixel data when there is none.
    void NeedImage();
    // Replaces the pixel data with width x height zero bytes.
    void NewImage();
    void FreeImage();
    // Drops what is rendered from the pixels (bitmap, mask, palette).
    void FreeCaches() {}

    // Used by the graphic control extension to keep the frame in step.
    void setTransparentFlag(bool value) { transparent_ = value; }
    void attachGraphicControl(TGIFGraphicControlExtension* gce)
    {
        if (!gce_)
            gce_ = gce;
    }
    void detachGraphicControl(TGIFGraphicControlExtension* gce);
    // Sets the descriptor without the screen-size rules of SetBounds (reader).
    void setDescriptor(int left, int top, int width, int height, std::uint8_t packed);

private:
    void checkNotEmpty() const;

    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    mutable std::uint8_t packed_ = 0;  // recomputed when written
    TGIFLocalColorMap colorMap_;
    TGIFExtensionList extensions_;
    std::vector<std::uint8_t> data_;
    bool transparent_ = false;
    TGIFGraphicControlExtension* gce_ = nullptr;
};

}  // namespace pelko
