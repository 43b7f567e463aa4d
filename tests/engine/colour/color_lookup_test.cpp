#include <gtest/gtest.h>

#include "engine/colour/color_lookup.h"
#include "engine/colour/quantize.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace pelko {
namespace {

TEST(ColorLookup, NetscapeThresholdsAreNotAtMidpoints)
{
    TNetscapeColorLookup lookup;
    struct Case {
        int in, level;
    } cases[] = {{0, 0},   {47, 0},  {48, 1},  {98, 1},  {99, 2},  {149, 2},
                 {150, 3}, {200, 3}, {201, 4}, {251, 4}, {252, 5}, {255, 5}};
    for (const Case& c : cases) {
        RGBTriple got;
        EXPECT_EQ(lookup.lookup(c.in, 0, 0, got), 36 * c.level) << c.in;
        EXPECT_EQ(got.red, 51 * c.level) << c.in;
        EXPECT_EQ(lookup.lookup(0, 0, c.in, got), c.level) << c.in;
        EXPECT_EQ(got.blue, 51 * c.level) << c.in;
    }
    RGBTriple got;
    EXPECT_EQ(lookup.lookup(255, 102, 48, got), 36 * 5 + 6 * 2 + 1);
}

TEST(ColorLookup, MonochromeAndGreyBoundaries)
{
    TMonochromeLookup mono;
    struct Case {
        int r, g, b, index;
    } cases[] = {
        {0, 192, 128, 0},    // 32512
        {0, 169, 247, 1},    // 32513
        {127, 127, 127, 0},  // 32512
        {128, 128, 128, 1},
    };
    for (const Case& c : cases) {
        RGBTriple got;
        EXPECT_EQ(mono.lookup(c.r, c.g, c.b, got), c.index);
        EXPECT_EQ(got.red, c.index * 255);
    }
    TGrayScaleLookup grey;
    RGBTriple got;
    EXPECT_EQ(grey.lookup(255, 255, 255, got), 255);
    EXPECT_EQ(grey.lookup(0, 169, 247, got), 127);  // 32513 >> 8
    EXPECT_EQ(got.green, 127);
}

TEST(ColorLookup, FastLookupAnswersACellWithItsFirstColour)
{
    Palette pal = {rgb(0, 0, 0), rgb(16, 16, 16)};
    {
        // (9,9,9) is nearer 16; the same cell then answers 1 for (8,8,8),
        // which is equally far from both and would otherwise get entry 0.
        TFastColorLookup lookup(pal);
        RGBTriple got;
        EXPECT_EQ(lookup.lookup(9, 9, 9, got), 1);
        EXPECT_EQ(lookup.lookup(8, 8, 8, got), 1);
        EXPECT_EQ(got.red, 16);
    }
    {
        // Asked the other way round: the tie goes to the first entry, and
        // (15,15,15), much nearer 16, gets 0 from the cell.
        TFastColorLookup lookup(pal);
        RGBTriple got;
        EXPECT_EQ(lookup.lookup(8, 8, 8, got), 0);
        EXPECT_EQ(lookup.lookup(15, 15, 15, got), 0);
    }
    {
        // A palette colour's own cell belongs to the first entry in it.
        TFastColorLookup lookup({rgb(1, 1, 1), rgb(7, 7, 7), rgb(200, 0, 0)});
        RGBTriple got;
        EXPECT_EQ(lookup.lookup(7, 7, 7, got), 0);
        EXPECT_EQ(lookup.lookup(190, 10, 5, got), 2);
        EXPECT_EQ(lookup.colors(), 3);
    }
}

TEST(ColorLookup, FastLookupFindsTheFirstNearestEntry)
{
    // Each query falls in a fresh cell, so every answer comes from the
    // search; compare it with a plain scan in index order. Palettes with
    // repeated colours and many equal distances check the tie rule.
    std::uint32_t seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    for (int round = 0; round < 6; ++round) {
        Palette pal(std::size_t(1 + next() % 256));
        for (Color& c : pal)
            c = round % 2 ? rgb(std::uint8_t(next() % 4 * 85), std::uint8_t(next() % 4 * 85),
                                std::uint8_t(next() % 4 * 85))
                          : rgb(std::uint8_t(next()), std::uint8_t(next()), std::uint8_t(next()));
        TFastColorLookup lookup(pal);
        for (int cell = 0; cell < 32768; cell += 7) {
            int r = ((cell & 31) << 3) | int(next() & 7), g = (((cell >> 5) & 31) << 3) | int(next() & 7),
                b = ((cell >> 10) << 3) | int(next() & 7);
            int want = -1, wantDistance = 1 << 30;
            for (std::size_t i = 0; i < pal.size(); ++i) {
                int d = std::abs(redOf(pal[i]) - r) + std::abs(greenOf(pal[i]) - g) +
                        std::abs(blueOf(pal[i]) - b);
                if (d < wantDistance) {
                    wantDistance = d;
                    want = int(i);
                }
            }
            // A palette colour's own cell is answered by the entry itself.
            bool seeded = false;
            for (Color c : pal)
                seeded |= ((blueOf(c) >> 3) << 10 | (greenOf(c) >> 3) << 5 | (redOf(c) >> 3)) == cell;
            if (seeded)
                continue;
            RGBTriple got;
            ASSERT_EQ(lookup.lookup(r, g, b, got), want) << round << " " << r << "," << g << "," << b;
        }
    }
}

TEST(ColorQuantizer, FewColoursGiveExactlyThoseColours)
{
    const Palette source = {rgb(10, 20, 30), rgb(200, 0, 0), rgb(0, 255, 0), rgb(13, 20, 30),
                            rgb(255, 255, 255)};
    TColorQuantizer q(8, 8);
    for (int repeat = 0; repeat < 3; ++repeat)
        for (Color c : source) q.addColor(redOf(c), greenOf(c), blueOf(c));
    Palette got = q.colors();
    ASSERT_EQ(got.size(), source.size());
    Palette a = got, b = source;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(a, b);
    // Depth-first order: the top bits of red, green, blue choose the branch.
    EXPECT_EQ(got.front(), rgb(10, 20, 30));
    EXPECT_EQ(got.back(), rgb(255, 255, 255));
}

TEST(ColorQuantizer, FoldingKeepsTheLimitAndAveragesWithIntegers)
{
    {
        TColorQuantizer q(1, 8);
        q.addColor(10, 0, 0);
        q.addColor(11, 0, 0);
        q.addColor(11, 0, 1);
        EXPECT_EQ(q.leafCount(), 1);
        EXPECT_EQ(q.colors(), Palette{rgb(10, 0, 0)});  // (32 / 3, 0, 1 / 3)
    }
    {
        TColorQuantizer q(16, 8);
        for (int i = 0; i < 4096; ++i) {
            q.addColor((i * 37) & 255, (i * 91) & 255, (i * 13) & 255);
            ASSERT_LE(q.leafCount(), 16);
        }
        EXPECT_EQ(q.colors().size(), std::size_t(q.leafCount()));
    }
}

// The octree as plainly as it can be written: new nodes, a walk from the
// root for every colour, the newest reducible node of the deepest level
// folded. The quantizer's shortcuts and node reuse must not change a colour.
class PlainOctree {
public:
    explicit PlainOctree(int maxColors) : max_(maxColors) { root_ = make(0); }
    void add(int r, int g, int b)
    {
        Node* n = root_;
        for (int level = 0; !n->leaf; ++level) {
            int shift = 7 - level;
            int i = (((r >> shift) & 1) << 2) | (((g >> shift) & 1) << 1) | ((b >> shift) & 1);
            if (!n->child[i])
                n->child[i] = make(level + 1);
            n = n->child[i];
        }
        n->count += 1;
        n->r += r, n->g += g, n->b += b;
        while (leaves_ > max_) {
            int level = 7;
            while (level > 0 && reducible_[level].empty()) --level;
            Node* f = reducible_[level].back();
            reducible_[level].pop_back();
            int folded = 0;
            for (Node*& c : f->child)
                if (c) {
                    f->count += c->count, f->r += c->r, f->g += c->g, f->b += c->b;
                    c = nullptr;
                    ++folded;
                }
            f->leaf = true;
            leaves_ += 1 - folded;
        }
    }
    Palette colors() const
    {
        Palette out;
        walk(root_, out);
        return out;
    }

private:
    struct Node {
        bool leaf = false;
        long long count = 0, r = 0, g = 0, b = 0;
        Node* child[8] = {};
    };
    Node* make(int level)
    {
        pool_.push_back(std::make_unique<Node>());
        Node* n = pool_.back().get();
        if (level == 8) {
            n->leaf = true;
            ++leaves_;
        } else {
            reducible_[level].push_back(n);
        }
        return n;
    }
    static void walk(const Node* n, Palette& out)
    {
        if (n->leaf) {
            out.push_back(rgb(std::uint8_t(n->r / n->count), std::uint8_t(n->g / n->count),
                              std::uint8_t(n->b / n->count)));
            return;
        }
        for (const Node* c : n->child)
            if (c)
                walk(c, out);
    }
    int max_, leaves_ = 0;
    Node* root_;
    std::vector<Node*> reducible_[8];
    std::vector<std::unique_ptr<Node>> pool_;
};

TEST(ColorQuantizer, MatchesThePlainOctree)
{
    // Smooth areas, noise, repeats and far jumps: folds at every level.
    std::uint32_t seed = 99;
    auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 24; };
    for (int maxColors : {1, 7, 16, 256}) {
        TColorQuantizer q(maxColors, 8);
        PlainOctree plain(maxColors);
        for (int i = 0; i < 60000; ++i) {
            int r, g, b;
            switch ((i / 5000) % 4) {
                case 0:
                    r = (i / 7) & 255, g = (i / 300) & 255, b = 128;
                    break;
                case 1:
                    r = int(next()), g = int(next()), b = int(next());
                    break;
                case 2:
                    r = g = b = (i / 50) & 255;
                    break;
                default:
                    r = (i * 97) & 255, g = int(next() & 0xF0), b = (i / 1000) * 20 & 255;
                    break;
            }
            q.addColor(r, g, b);
            plain.add(r, g, b);
        }
        EXPECT_EQ(q.colors(), plain.colors()) << maxColors;
    }
}

}  // namespace
}  // namespace pelko
