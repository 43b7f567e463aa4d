#pragma once
// The three pixel transforms of a frame image: mirror, grey and negative.

#include "engine/image/picture.h"

namespace pelko {

// Mirrors picture as flip says (0 none, 1 horizontal, 2 vertical, 3 both) into
// the rectangle (0, 0, width, height): pixel (x, y) of the rectangle comes from
// (width-1-x, y), (x, height-1-y) or both. When the picture's size differs from
// the rectangle, the picture is scaled into it (nearest pixel) and whatever
// lies outside the rectangle keeps the picture's own pixels.
Picture mirrorPicture(const Picture& picture, int flip, int width, int height);

// g = (77 R + 150 G + 29 B + 128) >> 8 for every pixel, in place.
void greyPicture(Picture& picture);

// Every channel c becomes 255 - c, in place.
void invertPicture(Picture& picture);

}  // namespace pelko
