#pragma once
// Drawing GIF frames onto pictures, as the painter composes an animation:
// a frame's place scaled from the logical screen to a target rectangle (or
// repeated as tiles), its colour indices drawn through its colour map with
// its transparent pixels left out, and areas restored to the background.
//
// The pictures here show a target rectangle: pixel (0, 0) is the
// rectangle's top-left corner. Places are given in picture coordinates.

#include <vector>

#include "engine/gif/gif_sub_image.h"
#include "engine/gif/gif_types.h"
#include "engine/image/picture.h"

namespace pelko {

class TGIFImage;

// The frame's bounds scaled from a screenWidth x screenHeight logical
// screen to rect: left = rect left + frame left x rect width / screen width,
// rounded; likewise top, right and bottom.
TGIFRect ScaleRect(const TGIFSubImage& frame, int screenWidth, int screenHeight, const TGIFRect& rect);

// Where the frame is drawn in a picture showing rect: its scaled rectangle,
// or with tile the frame at its own size at its place in every
// screen-sized tile that starts in rect, tiles laid from rect's top-left.
std::vector<TGIFRect> FramePlaces(const TGIFSubImage& frame, int screenWidth, int screenHeight,
                                  const TGIFRect& rect, bool tile);

// Draws the frame stretched (nearest pixel) into each place, clipped to the
// picture. With transparent, the pixels of a transparent frame's
// transparent colour index leave the picture unchanged. An index beyond the
// colour map draws black; an empty frame draws nothing.
void DrawFrame(Picture& target, const TGIFSubImage& frame, const std::vector<TGIFRect>& places,
               bool transparent);

// Restores the places (clipped) to the background: copied from background
// when it has the target's size, else filled with colour.
void RestoreBackground(Picture& target, const std::vector<TGIFRect>& places, const Picture* background,
                       Color colour);

// The colour behind an image: its draw background colour when set, else its
// background colour when the global map has colours, else windowColour.
Color PainterBackgroundColor(const TGIFImage& image, Color windowColour);

}  // namespace pelko
