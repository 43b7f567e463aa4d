#include "engine/colour/quantize.h"

#include <algorithm>

#include "engine/colour/bitmap.h"

namespace pelko {

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : maxColors_(std::max(1, maxColors)), colorBits_(std::clamp(colorBits, 1, 8))
{
    // At most maxColors + 1 leaves live at a time, and each has at most
    // colorBits ancestors; reserve generously so the pool rarely grows.
    nodes_.reserve(std::size_t(maxColors_ + 2) * std::size_t(colorBits_ + 1) + 16);
    root_ = newNode(0, 0, 0, 0);
    if (colorBits_ > kShortcutLevel)
        shortcut_.assign(std::size_t(1) << (3 * kShortcutLevel), -1);
}

std::int32_t TColorQuantizer::newNode(int level, int red, int green, int blue)
{
    std::int32_t n;
    if (freeList_ >= 0) {
        n = freeList_;
        freeList_ = nodes_[std::size_t(n)].next;
        nodes_[std::size_t(n)] = Node{};
    } else {
        n = std::int32_t(nodes_.size());
        nodes_.emplace_back();
    }
    Node& node = nodes_[std::size_t(n)];
    node.pathRed = std::uint8_t(red);
    node.pathGreen = std::uint8_t(green);
    node.pathBlue = std::uint8_t(blue);
    if (level == colorBits_) {
        node.leaf = true;
        ++leafCount_;
    } else {
        node.next = reducible_[level];
        reducible_[level] = n;
    }
    return n;
}

void TColorQuantizer::freeNode(std::int32_t n)
{
    nodes_[std::size_t(n)].next = freeList_;
    freeList_ = n;
}

void TColorQuantizer::addColor(int red, int green, int blue)
{
    const std::int32_t key = (red << 16) | (green << 8) | blue;
    if (key == lastColor_ && lastLeaf_ >= 0) {
        Node& leaf = nodes_[std::size_t(lastLeaf_)];
        leaf.pixelCount += 1;
        leaf.red += std::uint64_t(red);
        leaf.green += std::uint64_t(green);
        leaf.blue += std::uint64_t(blue);
        return;
    }
    std::int32_t n = root_;
    int level = 0;
    std::size_t shortcutKey = 0;
    if (!shortcut_.empty()) {
        constexpr int s = 8 - kShortcutLevel;
        shortcutKey = (std::size_t(red >> s) << (2 * kShortcutLevel)) |
                      (std::size_t(green >> s) << kShortcutLevel) | std::size_t(blue >> s);
        if (shortcut_[shortcutKey] >= 0) {
            n = shortcut_[shortcutKey];
            level = kShortcutLevel;
        }
    }
    for (;; ++level) {
        Node& node = nodes_[std::size_t(n)];
        if (node.leaf) {
            node.pixelCount += 1;
            node.red += std::uint64_t(red);
            node.green += std::uint64_t(green);
            node.blue += std::uint64_t(blue);
            lastColor_ = key;
            lastLeaf_ = n;
            break;
        }
        if (level == kShortcutLevel && !shortcut_.empty())
            shortcut_[shortcutKey] = n;
        int shift = 7 - level;
        int i = (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
        std::int32_t c = node.child[i];
        if (c < 0) {
            c = newNode(level + 1, red, green, blue);  // may move nodes_: do not use `node` after this
            nodes_[std::size_t(n)].child[i] = c;
        }
        n = c;
    }
    while (leafCount_ > maxColors_) reduceTree();
}

void TColorQuantizer::reduceTree()
{
    lastLeaf_ = -1;
    int level = colorBits_ - 1;
    while (level > 0 && reducible_[level] < 0) --level;
    std::int32_t n = reducible_[level];
    if (n < 0) {
        // Nothing left to fold (only when fewer than one colour is allowed).
        leafCount_ = maxColors_;
        return;
    }
    Node& node = nodes_[std::size_t(n)];
    if (level < kShortcutLevel && !shortcut_.empty()) {
        // Forget the shortcuts into the subtree that goes: the keys whose top
        // `level` bits of each channel are the node's path.
        const int free = kShortcutLevel - level;
        const int pr = node.pathRed >> (8 - level), pg = node.pathGreen >> (8 - level),
                  pb = node.pathBlue >> (8 - level);
        for (int r = 0; r < (1 << free); ++r)
            for (int g = 0; g < (1 << free); ++g)
                for (int b = 0; b < (1 << free); ++b) {
                    const std::size_t key = (std::size_t((pr << free) | r) << (2 * kShortcutLevel)) |
                                            (std::size_t((pg << free) | g) << kShortcutLevel) |
                                            std::size_t((pb << free) | b);
                    shortcut_[key] = -1;
                }
    }
    reducible_[level] = node.next;
    node.next = -1;
    int folded = 0;
    for (std::int32_t& c : node.child) {
        if (c < 0)
            continue;
        const Node& child = nodes_[std::size_t(c)];
        node.pixelCount += child.pixelCount;
        node.red += child.red;
        node.green += child.green;
        node.blue += child.blue;
        freeNode(c);
        c = -1;
        ++folded;
    }
    node.leaf = true;
    leafCount_ += 1 - folded;
}

void TColorQuantizer::processRows(const std::uint8_t* data, int width, int height, std::size_t stride)
{
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* p = data + std::size_t(y) * stride;
        for (int x = 0; x < width; ++x, p += 3) addColor(p[2], p[1], p[0]);
    }
}

void TColorQuantizer::processImage(const Bitmap& bitmap)
{
    if (bitmap.empty())
        return;
    if (bitmap.pixelFormat() == pf24bit) {
        processRows(bitmap.scanline(0), bitmap.width(), bitmap.height(), bitmap.stride());
        return;
    }
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) {
            Color c = bitmap.color(x, y);
            addColor(redOf(c), greenOf(c), blueOf(c));
        }
}

void TColorQuantizer::collect(std::int32_t n, Palette& out) const
{
    const Node& node = nodes_[std::size_t(n)];
    if (node.leaf) {
        if (node.pixelCount == 0) {
            out.push_back(0);
        } else {
            out.push_back(rgb(std::uint8_t(node.red / node.pixelCount),
                              std::uint8_t(node.green / node.pixelCount),
                              std::uint8_t(node.blue / node.pixelCount)));
        }
        return;
    }
    for (std::int32_t c : node.child)
        if (c >= 0)
            collect(c, out);
}

Palette TColorQuantizer::colors() const
{
    Palette out;
    out.reserve(std::size_t(leafCount_));
    collect(root_, out);
    return out;
}

}  // namespace pelko
