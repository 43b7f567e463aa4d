#pragma once
// Picture scaling: the cubic B-spline resampling and the fitting rule that
// scales a picture into a box (thumbnails, stretched frames, capture preview).

#include "engine/image/picture.h"

namespace pelko {

// The cubic B-spline kernel, in single precision, for t in [-2, 2].
float bSplineWeight(float t);

// Resamples src to dstWidth x dstHeight with the 4 x 4 B-spline neighbourhood.
// Sample positions have no half-pixel offset; the neighbourhood's centre is
// clamped to 1 .. side - 3, and for sources under 4 pixels in a direction the
// edge pixels are repeated so every tap stays inside the picture.
Picture resamplePicture(const Picture& src, int dstWidth, int dstHeight);

// Fits src into a boxWidth x boxHeight white picture: centred unchanged when
// smaller than the box in both directions, otherwise reduced (keeping the
// aspect ratio) by resamplePicture and placed centred. Never enlarges.
Picture fitPicture(const Picture& src, int boxWidth, int boxHeight);

// The scaled size fitPicture uses for the reducing path.
struct FitSize {
    int width;
    int height;
};
FitSize fittedSize(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight);

}  // namespace pelko
