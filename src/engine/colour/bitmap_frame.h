#pragma once
// Conversions between bitmaps and GIF frames: a bitmap becoming a frame
// (through colour reduction when it has more than 8 bits per pixel, with its
// transparent pixels turned into a transparent colour index), a frame
// becoming a bitmap with its palette and mask, the palettes that frames and
// images offer, the still bitmap of an image, and the clipboard data.

#include <cstdint>
#include <vector>

#include "engine/colour/bitmap.h"
#include "engine/gif/gif_image.h"
#include "engine/gif/gif_sub_image.h"

namespace pelko {

// Replaces the frame's contents with the bitmap. 1, 4 and 8-bit bitmaps are
// copied with their palette as the local colour map; other formats are
// reduced first with the owning image's ColorReduction, DitherMode and
// ReductionBits. A transparent bitmap's mask (or, without a mask, its pixels
// of the transparent colour) becomes a transparent colour index. Raises
// "Color table overflow" for a 24-bit result of more than 256 colours; a
// conversion that raises leaves the frame cleared.
void AssignBitmap(TGIFSubImage& frame, const Bitmap& bitmap);

// A new frame of image made from the bitmap, appended; returns its index.
int AddBitmap(TGIFImage& image, const Bitmap& bitmap);

// Clears the image and gives it one frame made from the bitmap.
void AssignImageFromBitmap(TGIFImage& image, const Bitmap& bitmap);

// Marks the pixels whose mask value is not 0 as transparent: the local map
// is optimised, black appended as the transparent entry and a graphic
// control extension added. A map with 0 or 256 colours gets no transparency.
void ApplyMask(TGIFSubImage& frame, const Bitmap& mask);

// The frame as an 8-bit bitmap whose palette has 256 entries (the frame's
// palette, then black). A transparent frame's bitmap is transparent and
// carries a 1-bit mask of its transparent pixels (only when there are any).
// Dithered (the owning image's GetDoDither): the active map's colours are
// drawn with the 216-colour palette through Floyd-Steinberg diffusion.
Bitmap GetBitmap(const TGIFSubImage& frame);
Bitmap RenderFrame(const TGIFSubImage& frame, bool dither);

// The palette a frame or an image offers. The image's palette raises
// "No global or local color table defined" when finding it needs itself.
Palette GetPalette(const TGIFSubImage& frame);
Palette GetPalette(const TGIFImage& image);

// The image's still picture: empty for an empty image; a copy of the first
// frame's bitmap when that covers the logical screen; otherwise a 24-bit
// bitmap of the logical screen with the image's palette and the first frame
// drawn at its place.
Bitmap GetBitmap(const TGIFImage& image);

// Clipboard data. The GIF stream (empty for an empty image) and its bitmap;
// loading takes a GIF stream or a bitmap.
enum TClipboardFormat { cfBitmap = 2, cfGIF = 0xC000 };
std::vector<std::uint8_t> SaveToClipboardFormat(TGIFImage& image, Bitmap* bitmap);
// Raises "Unsupported clipboard format" for any other format.
void LoadFromClipboardFormat(TGIFImage& image, TClipboardFormat format,
                             const std::vector<std::uint8_t>* gifData, const Bitmap* bitmap);

// A new bitmap for a row writer: 8 bits with the palette (256 entries, then
// black) or 24 bits. Raises "Unsupported PixelFormat" for other formats and
// "Invalid image dimensions" for a zero width or height.
Bitmap NewDIBWriterBitmap(int width, int height, TPixelFormat format, const Palette& palette);

}  // namespace pelko
