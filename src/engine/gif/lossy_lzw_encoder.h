#pragma once
// TLossyLZWEncoder: LZW that trades exactness for shorter code streams.
// While a string grows, a dictionary string whose next colour is within a
// bound of the true pixel's colour is taken when the exact one is not in
// the dictionary, so strings run longer and fewer codes are written. The
// stream is ordinary LZW: any decoder reads it, and every pixel it shows is
// within the bound of the pixel given. The transparent index is never
// traded for a colour, nor a colour for it.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/gif/gif_encoder.h"
#include "engine/image/picture.h"

namespace pelko {

// The largest distance (Euclidean, in RGB units) between a pixel's colour
// and the colour written for it at strength 1..100; 0 at strength 0.
double lossyColorBound(int strength);

class TLossyLZWEncoder : public TLZWEncoder {
public:
    // colors: the frame's colour map (count entries); transparent: its
    // transparent index, or -1.
    TLossyLZWEncoder(int strength, const Color* colors, int count, int transparent);

protected:
    void Clear() override;
    void Compress() override;

private:
    // Per code: its first child, its next sibling and its last colour index.
    std::vector<std::int16_t> firstChild_;
    std::vector<std::int16_t> nextSibling_;
    std::vector<std::uint8_t> suffix_;
    // Per code: the child with the exact colour last taken or added, or -1.
    std::vector<std::int16_t> recent_;
    // near_[a * 256 + b]: how far colour b is from colour a (squared), or -1
    // when b may not stand for a.
    std::vector<std::int32_t> near_;
};

}  // namespace pelko
