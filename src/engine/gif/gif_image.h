#pragma once
// TGIFImage: a GIF image made of a header (logical screen and global colour
// map) and an ordered list of frames. Every GIF the program reads or writes
// goes through it.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/gif/gif_color_map.h"
#include "engine/gif/gif_item.h"
#include "engine/gif/gif_settings.h"
#include "engine/gif/gif_sub_image.h"

namespace pelko {

class TGIFPainterList;

// Signature and logical screen descriptor, and the global colour map.
class TGIFHeader : public TGIFItem {
public:
    explicit TGIFHeader(TGIFImage* image);

    // Empties the map and zeroes the seven descriptor bytes.
    void Clear();
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    void setWidth(int w) { width_ = std::uint16_t(w); }
    void setHeight(int h) { height_ = std::uint16_t(h); }
    std::uint8_t GetPacked() const { return packed_; }
    void setPacked(std::uint8_t p) { packed_ = p; }
    int GetBackgroundColorIndex() const { return background_; }
    // Warning "Invalid color index" (and 0 stored) for an index not below a
    // non-zero map count.
    void SetBackgroundColorIndex(int index);
    void setBackgroundRaw(int index) { background_ = std::uint8_t(index); }
    Color GetBackgroundColor() const;
    void SetBackgroundColor(Color color);
    int GetAspectRatio() const { return aspect_; }
    void SetAspectRatio(int ratio) { aspect_ = std::uint8_t(ratio); }
    int GetBitsPerPixel() const { return colorMap_.GetBitsPerPixel(); }
    int GetColorResolution() const { return GetBitsPerPixel() - 1; }
    // gv89a when the global map is Optimized or the aspect ratio is set.
    TGIFVersion GetVersion() const override;

    TGIFGlobalColorMap& ColorMap() { return colorMap_; }
    const TGIFGlobalColorMap& ColorMap() const { return colorMap_; }

    // Reads the 6-byte signature (also 4 bytes further on) and the screen
    // descriptor and global table; SaveToStream writes them for the image.
    void LoadFromStream(GifInput& in) override;
    void SaveToStream(GifOutput& out) const override;
    // Recomputes the packed fields from the maps, as they are written.
    void Prepare();

private:
    std::uint16_t width_ = 0, height_ = 0;
    std::uint8_t packed_ = 0, background_ = 0, aspect_ = 0;
    TGIFGlobalColorMap colorMap_;
};

class TGIFImageList : public TGIFList<TGIFSubImage> {
public:
    using TGIFList::TGIFList;
    TGIFSubImage* GetImage(int index) const { return GetItem(index); }
    void SetImage(int index, std::unique_ptr<TGIFSubImage> f) { SetItem(index, std::move(f)); }
};

class TGIFImage {
public:
    TGIFImage();
    ~TGIFImage();
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;

    // Stops every painter, deletes every frame, empties the global map and
    // sets the logical screen to 0 x 0; background colour index and aspect
    // ratio stay.
    void Clear();
    void NewImage() { Clear(); }

    // GIF stream reading and writing. LoadFromStream raises GIFException;
    // frames read before an error stay in the image and the stream goes back
    // to where the image began.
    void LoadFromStream(GifInput& in);
    void SaveToStream(GifOutput& out);
    // The header and global map as SaveToStream writes them, for writers
    // that write the frames themselves.
    void SaveHeaderToStream(GifOutput& out);
    void LoadFromBytes(const std::uint8_t* data, std::size_t size);
    std::vector<std::uint8_t> SaveToBytes();
    void LoadFromFile(const std::string& name);
    void SaveToFile(const std::string& name);

    // Appends a frame (made for this image) and returns its index.
    int Add(std::unique_ptr<TGIFSubImage> frame);
    // Copies header, frames and the drawing settings of another image (not
    // ReductionBits, Compression or AnimationSpeed). Null clears.
    void Assign(const TGIFImage* source);
    void Pack();

    TGIFHeader& Header() { return header_; }
    const TGIFHeader& Header() const { return header_; }
    TGIFImageList& Images() { return images_; }
    const TGIFImageList& Images() const { return images_; }

    int GetWidth() const { return header_.GetWidth(); }
    int GetHeight() const { return header_.GetHeight(); }
    // "Image width/height too small for contained frames" when a frame would not fit.
    void SetWidth(int width);
    void SetHeight(int height);
    bool GetEmpty() const { return images_.GetCount() == 0; }
    TGIFGlobalColorMap& GetColorMap() { return header_.ColorMap(); }
    const TGIFGlobalColorMap& GetColorMap() const { return header_.ColorMap(); }
    // The largest bits per pixel over the global map and every local map.
    int GetBitsPerPixel() const;
    int GetColorResolution() const { return GetBitsPerPixel() - 1; }
    bool GetIsTransparent() const;
    int GetAspectRatio() const { return header_.GetAspectRatio(); }
    void SetAspectRatio(int ratio) { header_.SetAspectRatio(ratio); }
    int GetBackgroundColorIndex() const { return header_.GetBackgroundColorIndex(); }
    void SetBackgroundColorIndex(int index) { header_.SetBackgroundColorIndex(index); }
    Color GetBackgroundColor() const { return header_.GetBackgroundColor(); }
    void SetBackgroundColor(Color color) { header_.SetBackgroundColor(color); }
    // The highest frame version; gvUnknown without frames.
    TGIFVersion GetVersion() const;

    TColorReduction GetColorReduction() const { return colorReduction_; }
    void SetColorReduction(TColorReduction r) { colorReduction_ = r; }
    int GetReductionBits() const { return reductionBits_; }
    // "Invalid Bits Per Pixel value" outside 3..8.
    void SetReductionBits(int bits);
    TDitherMode GetDitherMode() const { return ditherMode_; }
    void SetDitherMode(TDitherMode m) { ditherMode_ = m; }
    TGIFCompression GetCompression() const { return compression_; }
    void SetCompression(TGIFCompression c) { compression_ = c; }
    // Strength of lossy LZW, 0 (lossless) to 100: how far a written pixel's
    // colour may be from the frame's own (lossy_lzw_encoder.h). RLE stays
    // lossless.
    int GetLossy() const { return lossy_; }
    void SetLossy(int strength) { lossy_ = strength < 0 ? 0 : strength > 100 ? 100 : strength; }
    int GetAnimationSpeed() const { return animationSpeed_; }
    // Clamped to 0..1000; a change is passed on to the draw painter.
    void SetAnimationSpeed(int speed);
    TGIFDrawOptions GetDrawOptions() const { return drawOptions_; }
    // A different set stops the draw painter first.
    void SetDrawOptions(TGIFDrawOptions options);
    // Threads that compress frames when saving (0: one per core). The
    // stream is the same byte for byte whatever the count.
    int GetEncodeThreads() const { return encodeThreads_; }
    void SetEncodeThreads(int threads) { encodeThreads_ = threads < 0 ? 0 : threads; }
    TGIFThreadPriority GetThreadPriority() const { return threadPriority_; }
    void SetThreadPriority(TGIFThreadPriority p) { threadPriority_ = p; }
    Color GetDrawBackgroundColor() const { return drawBackgroundColor_; }
    void SetDrawBackgroundColor(Color c) { drawBackgroundColor_ = c; }
    bool GetDoDither() const;

    // Observers. Warnings without an observer are dropped.
    TGIFWarningEvent OnWarning;
    TGIFProgressEvent OnProgress;
    std::function<void()> OnChange;

    void Warning(const void* sender, TGIFSeverity severity, const std::string& message) const;
    void Progress(TProgressStage stage, int percent, const std::string& message) const;
    void Changed();
    // Drops the cached bitmap and palette.
    void FreeCaches() {}

    // The painters playing this image and their lock (gif_painter.h).
    TGIFPainterList& PainterList() const { return *painters_; }
    const std::shared_ptr<TGIFPainterList>& PainterListPtr() const { return painters_; }

    // The platform's value for "no colour".
    static constexpr Color kNoColor = 0x1FFFFFFF;

    // When false, LoadFromStream reads every block and follows the image
    // data with all its checks and warnings, but keeps no pixels: the frames
    // have their descriptors, maps and extensions and no pixel data. Nothing
    // is made for pixels, so the pixel budget does not apply. True at first.
    bool GetReadPixels() const { return readPixels_; }
    void SetReadPixels(bool value) { readPixels_ = value; }

    // Counts pixel data (and a fixed cost per frame) made while reading, and
    // refuses with GIFException past GIFImageMaxTotalPixels.
    void chargeReadBytes(std::int64_t bytes);
    // Pixels the image data of the frame being read may still leave
    // unreached, and the count of those it did (GIFImageMaxMissingPixels).
    std::size_t missingPixelsAllowed() const;
    void chargeMissingPixels(std::size_t pixels);

private:
    std::shared_ptr<TGIFPainterList> painters_;
    std::int64_t readBytes_ = 0;
    std::int64_t missingPixels_ = 0;
    bool readPixels_ = true;
    TGIFHeader header_;
    TGIFImageList images_;
    TGIFDrawOptions drawOptions_;
    TColorReduction colorReduction_;
    int reductionBits_;
    TDitherMode ditherMode_;
    TGIFCompression compression_;
    TGIFThreadPriority threadPriority_;
    int animationSpeed_;
    int encodeThreads_ = 0;
    int lossy_ = 0;
    Color drawBackgroundColor_ = kNoColor;
};

}  // namespace pelko
