#pragma once
// TColorQuantizer: the octree colour quantizer. Every colour added walks the
// tree from the root, one level per bit of red, green and blue, down to a leaf
// that sums the colours it receives. After each colour, while there are more
// leaves than allowed, the newest reducible node of the deepest level is
// folded into a leaf. The palette is the leaves' average colours in
// depth-first order.
//
// Nodes come from a pool owned by the quantizer and are reused after folding,
// so adding colours allocates nothing once the tree has reached its size.

#include <cstdint>
#include <vector>

#include "engine/colour/palette.h"

namespace pelko {

class Bitmap;

class TColorQuantizer {
public:
    // maxColors >= 1; colorBits is the tree depth, 1..8.
    TColorQuantizer(int maxColors, int colorBits);

    void addColor(int red, int green, int blue);
    // Every pixel of the bitmap, rows from the top, left to right (indexed
    // formats through their palette).
    void processImage(const Bitmap& bitmap);
    // The same for 24-bit rows of blue, green, red.
    void processRows(const std::uint8_t* data, int width, int height, std::size_t stride);

    int leafCount() const { return leafCount_; }
    // The leaves' colours, depth-first, children in number order.
    Palette colors() const;

private:
    // Children and the leaf flag first: the walk reads nothing else.
    struct Node {
        std::int32_t child[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
        bool leaf = false;
        // A colour of the subtree: its top bits are the node's path.
        std::uint8_t pathRed = 0, pathGreen = 0, pathBlue = 0;
        std::int32_t next = -1;  // next reducible node of the same level
        std::uint32_t pixelCount = 0;
        // 64-bit sums: a 32-bit sum overflows after about 16.8 million pixels
        // of one bright colour in one leaf.
        std::uint64_t red = 0, green = 0, blue = 0;
    };

    std::int32_t newNode(int level, int red, int green, int blue);
    void freeNode(std::int32_t n);
    void reduceTree();
    void collect(std::int32_t n, Palette& out) const;

    int maxColors_;
    int colorBits_;
    int leafCount_ = 0;
    std::vector<Node> nodes_;
    std::int32_t freeList_ = -1;
    std::int32_t root_ = -1;
    std::int32_t reducible_[9] = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
    // The leaf that the last colour reached: a repeated colour goes straight
    // there until a fold changes the tree.
    std::int32_t lastColor_ = -1;
    std::int32_t lastLeaf_ = -1;
    // The inner node of level kShortcutLevel on the path of each value of the
    // top bits, while every node above it is inner: the walk starts there.
    // A fold above that level clears the entries of the folded subtree.
    static constexpr int kShortcutLevel = 4;
    std::vector<std::int32_t> shortcut_;
};

}  // namespace pelko
