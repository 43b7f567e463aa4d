#pragma once
// The colour reduction and dithering modes of the GIF codec. They are stored
// per frame by ordinal (project files, frame settings), so the order is fixed.

namespace pelko {

enum TColorReduction {
    rmNone,             // 24-bit copy, no palette
    rmWindows20,        // the 20-colour system palette
    rmWindows256,       // the 256-colour halftone palette
    rmWindowsGray,      // four greys: 0, 128, 192, 255
    rmMonochrome,       // black and white
    rmGrayScale,        // 256 greys
    rmNetscape,         // the 216-colour web palette
    rmQuantize,         // octree quantizer, 2 ^ bits colours
    rmQuantizeWindows,  // 20 system colours and 236 quantized colours
    rmPalette           // the palette passed in
};

enum TDitherMode { dmNearest, dmFloydSteinberg, dmStucki, dmSierra, dmJaJuNI, dmSteveArche, dmBurkes };

}  // namespace pelko
