#include <gtest/gtest.h>

#include <algorithm>

#include "engine/project/editing.h"
#include "engine/project/frame_cache.h"
#include "engine/project/project_file.h"
#include "support/picture_files.h"

using namespace pelko;
using namespace pelko::test;

namespace {

struct SubSpec {
    int left, top, width, height;
    int delay;  // -1: no graphic control extension
    int disposal;
    int transparentIndex;  // -1: none
};

// A GIF of two colours (black, white) on a 100 x 100 screen, written byte by
// byte. A width of 0 writes only the extension: the stream then ends with an
// empty sub-image. The image data restarts the code table before every pixel,
// so every code is 3 bits wide.
std::string writeGif(const std::string& path, const std::vector<SubSpec>& subs)
{
    std::vector<std::uint8_t> b = {'G',  'I', 'F', '8', '9', 'a', 100, 0,   100, 0,
                                   0x80, 0,   0,   0,   0,   0,   255, 255, 255};
    auto word = [&](int v) {
        b.push_back(std::uint8_t(v & 0xFF));
        b.push_back(std::uint8_t(v >> 8));
    };
    for (const SubSpec& s : subs) {
        if (s.delay >= 0) {
            b.insert(b.end(), {0x21, 0xF9, 4});
            b.push_back(std::uint8_t((s.disposal << 2) | (s.transparentIndex >= 0 ? 1 : 0)));
            word(s.delay);
            b.push_back(std::uint8_t(s.transparentIndex >= 0 ? s.transparentIndex : 0));
            b.push_back(0);
        }
        if (s.width == 0)
            continue;
        b.push_back(0x2C);
        word(s.left);
        word(s.top);
        word(s.width);
        word(s.height);
        b.push_back(0);
        std::vector<int> codes;
        for (int i = 0; i < s.width * s.height; ++i) {
            codes.push_back(4);  // clear
            codes.push_back(i % 2);
        }
        codes.push_back(5);  // end
        std::vector<std::uint8_t> data;
        unsigned acc = 0, bits = 0;
        for (int c : codes) {
            acc |= unsigned(c) << bits;
            bits += 3;
            while (bits >= 8) {
                data.push_back(std::uint8_t(acc & 0xFF));
                acc >>= 8;
                bits -= 8;
            }
        }
        if (bits)
            data.push_back(std::uint8_t(acc));
        b.push_back(2);  // minimum code size
        for (std::size_t i = 0; i < data.size(); i += 255) {
            const std::size_t n = std::min<std::size_t>(255, data.size() - i);
            b.push_back(std::uint8_t(n));
            b.insert(b.end(), data.begin() + std::ptrdiff_t(i), data.begin() + std::ptrdiff_t(i + n));
        }
        b.push_back(0);
    }
    b.push_back(0x3B);
    writeFile(path, b);
    return path;
}

}  // namespace

TEST(GifSources, EveryNonEmptySubImageBecomesAFrame)
{
    TempDir dir;
    const std::string gif = writeGif(
        dir.file("anim.GIF"),
        {{0, 0, 10, 8, 7, -1, -1}, {5, 6, 4, 4, 0, 2, 1}, {1, 1, 3, 3, -1, 0, -1}, {0, 0, 0, 0, 5, 0, -1}});
    Project p;
    p.settings.Type = ProjectGif;
    p.settings.Width = 50;
    p.settings.Height = 50;
    p.settings.GifFrameTime = 333;
    auto reader = makeFileSourceReader();
    const EditResult r = addFiles(p, {gif}, *reader);
    EXPECT_TRUE(r.errors.empty());
    ASSERT_EQ(p.frames.count(), 3);
    EXPECT_EQ(p.frames[0].Frame, 0);
    EXPECT_EQ(p.frames[1].Frame, 1);
    EXPECT_EQ(p.frames[2].Frame, 2);   // the empty fourth sub-image makes no frame
    EXPECT_EQ(p.frames[0].Time, 70);   // delay 7
    EXPECT_EQ(p.frames[1].Time, 333);  // delay 0
    EXPECT_EQ(p.frames[2].Time, 333);  // no control extension
    const FrameRecord& f = p.frames[1];
    EXPECT_EQ(f.Left, 5);
    EXPECT_EQ(f.Top, 6);
    EXPECT_EQ(f.Width, 4);
    EXPECT_EQ(f.Gif.DisposalMethod, 2);
    EXPECT_TRUE(f.Gif.GIFTransparent);
    EXPECT_EQ(f.Gif.TransparentColorIndex, 1);
    EXPECT_EQ(f.Gif.TransparentColor, 0xFFFFFFu);
    EXPECT_EQ(f.Gif.ReductionBit, 3);  // a 2-colour GIF
    EXPECT_EQ(frameImage(p, 1).get().pixel(0, 0), 0x000000u);
    EXPECT_EQ(frameImage(p, 1).get().pixel(1, 0), 0xFFFFFFu);
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{2}));
}

TEST(GifSources, AviProjectsAndTheFirstFrameFixingTheCanvas)
{
    TempDir dir;
    const std::string gif = writeGif(dir.file("a.gif"), {{5, 5, 40, 30, 9, 0, -1}, {0, 0, 0, 0, 9, 0, -1}});
    Project p;
    p.settings.FixAtFirstFrame = true;
    p.settings.AviFrameTime = 200;
    auto reader = makeFileSourceReader();
    addFiles(p, {gif}, *reader);
    ASSERT_EQ(p.frames.count(), 1);
    EXPECT_EQ(p.settings.Width, 40);
    EXPECT_EQ(p.settings.Height, 30);
    EXPECT_EQ(p.frames[0].Left, 5);
    EXPECT_EQ(p.frames[0].Top, 5);
    EXPECT_EQ(p.frames[0].Width, 40);
    EXPECT_EQ(p.frames[0].Height, 30);
    EXPECT_EQ(p.frames[0].Time, 200);
}

TEST(GifSources, BrokenGifsAndMissingSubImages)
{
    TempDir dir;
    writeFile(dir.file("bad.gif"), {'G', 'I', 'F', '8', '9', 'a', 1});
    Project p;
    auto reader = makeFileSourceReader();
    const EditResult r = addFiles(p, {dir.file("bad.gif")}, *reader);
    EXPECT_EQ(r.errors, (std::vector<std::string>{"This file is not GIF.\n" + dir.file("bad.gif") +
                                                  ": Premature end of data"}));

    // a project naming sub-image 5 of a GIF with three
    const std::string gif = writeGif(
        dir.file("three.gif"), {{0, 0, 2, 2, 1, 0, -1}, {0, 0, 2, 2, 1, 0, -1}, {0, 0, 2, 2, 1, 0, -1}});
    const std::string text = "[Parameters]\nWidth=10\nHeight=10\nType=1\n[Files]\nFile_1=" + gif +
                             "\nFrame_1=1\nFile_2=" + gif + "\nFrame_2=5\n";
    writeFile(dir.file("p.mcp"), std::vector<std::uint8_t>(text.begin(), text.end()));
    openProjectFile(p, dir.file("p.mcp"), *reader, {});
    EXPECT_EQ(p.frames.count(), 1);
    EXPECT_EQ(p.log.lines(), (std::vector<std::string>{"Not found frame 6 in file " + gif}));
    EXPECT_TRUE(p.changed);

    // refresh of a frame whose number equals the count of sub-images
    p.frames[0].Frame = 3;
    p.selection.selectOnly(0);
    p.log.clear();
    refreshSelected(p, *reader);
    EXPECT_EQ(p.log.lines(), (std::vector<std::string>{"Not found frame 4 in file " + gif}));
}
