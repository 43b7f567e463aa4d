#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/base/output_file.h"
#include "engine/image/ppm.h"
#include "engine/output/write_animated_gif.h"
#include "support/given_pictures.h"
#include "support/reference_gif.h"
#include "support/temp_dir.h"

using namespace pelko;
using namespace pelko::test;

namespace {

FrameRecord patterned(int w, int h, int seed)
{
    FrameRecord f;
    f.Width = w;
    f.Height = h;
    f.Time = std::uint16_t(40 + 10 * seed);
    Picture& p = givePicture(f, Picture(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y,
                       rgb(std::uint8_t(x * 5 + seed * 40), std::uint8_t(y * 7), std::uint8_t((x ^ y) * 3)));
    return f;
}

// A copy of frame `of` with a picture of its own that differs in a block.
FrameRecord changed(const FrameRecord& of, int seed)
{
    FrameRecord f = of;
    Picture p = pictureOf(of);
    for (int y = 4; y < 9; ++y)
        for (int x = 6 + seed; x < 14 + seed; ++x) p.setPixel(x, y, rgb(250, std::uint8_t(seed * 30), 0));
    givePicture(f, std::move(p));
    return f;
}

// Frames that give every step over the whole animation something to do:
// repeated frames (merged to nothing, then dropped by the crop with their
// time moved on), small changes (merged and cut down), transparency, each
// disposal, frames placed apart, different colour settings.
Project varied(int lastCompression)
{
    Project p;
    p.settings.Type = ProjectGif;
    p.settings.Width = 48;
    p.settings.Height = 36;
    FrameRecord a = patterned(48, 36, 0);
    p.frames.append(a);
    p.frames.append(changed(a, 1));
    FrameRecord same = a;
    p.frames.append(same);  // repeats the frame before the one before
    p.frames.append(same);  // repeats the frame before: nothing left after merging
    FrameRecord moved = patterned(20, 16, 2);
    moved.Left = 9;
    moved.Top = 11;
    moved.Gif.GIFTransparent = true;
    moved.Gif.TransparentColor = pictureOf(moved).pixel(0, 0);
    moved.Gif.DisposalMethod = 3;  // back to the previous picture
    p.frames.append(moved);
    FrameRecord b = changed(a, 3);
    b.Gif.ColorDither = 2;
    b.Gif.ReductionBit = 5;
    b.Gif.DisposalMethod = 2;  // to the background
    p.frames.append(b);
    FrameRecord c = changed(a, 4);
    c.Gif.GIFTransparent = true;
    c.Gif.TransparentColor = pictureOf(c).pixel(20, 20);
    c.Gif.ColorReduction = 2;
    p.frames.append(c);
    FrameRecord d = c;
    d.Time = 1000;
    p.frames.append(d);
    FrameRecord last = changed(a, 5);
    last.Gif.GIFCompression = std::uint8_t(lastCompression);
    p.frames.append(last);
    return p;
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bytes written to path, or the error; a failure leaves no file.
std::string streamed(Project& p, const AnimatedGifOptions& o, const std::string& path)
{
    try {
        EXPECT_TRUE(WriteAnimatedGif(p, o, path));
        return fileText(path);
    } catch (const std::exception& e) {
        EXPECT_FALSE(std::filesystem::exists(path)) << "a failed write left " << path;
        return std::string("error: ") + e.what();
    }
}

// The bytes built in memory, or the error.
std::string inMemory(Project& p, const AnimatedGifOptions& o)
{
    try {
        const std::optional<std::vector<std::uint8_t>> b = buildAnimatedGifBytes(p, o);
        EXPECT_TRUE(b.has_value());
        return b ? std::string(b->begin(), b->end()) : std::string();
    } catch (const std::exception& e) {
        return std::string("error: ") + e.what();
    }
}

class StopAfter : public ProgressSink {
public:
    explicit StopAfter(int calls) : calls_(calls) {}
    void progress(int) override { --calls_; }
    bool cancelled() const override { return calls_ <= 0; }

private:
    int calls_;
};

}  // namespace

TEST(WriteAnimatedGif, WritesTheReferenceBytesForEveryOptionThreadCountAndMemory)
{
    TempDir dir;
    for (int compression : {0, 1}) {
        Project p = varied(compression);
        pinGivenPictures(p);
        for (int bits = 0; bits < 16; ++bits) {
            AnimatedGifOptions o;
            o.mergeColorMaps = bits & 1;
            o.crop = bits & 2;
            o.mergeSimilarities = bits & 4;
            o.interlaced = bits & 8;
            o.loops = std::uint16_t(bits);
            const std::string expected = referenceGif(p, o);
            ASSERT_EQ(expected.rfind("error", 0), std::string::npos) << expected;
            // threads, and the pixels held in memory: all, none (every frame
            // packed in the scratch file), some; into a file and into memory
            const struct {
                int jobs;
                std::size_t memory;
            } runs[] = {{1, o.workingMemory}, {3, 0}, {2, 4000}};
            for (const auto& run : runs) {
                o.jobs = run.jobs;
                o.workingMemory = run.memory;
                const std::string what = "options " + std::to_string(bits) + ", compression " +
                                         std::to_string(compression) + ", " + std::to_string(run.jobs) +
                                         " threads, " + std::to_string(run.memory) + " bytes in memory";
                EXPECT_EQ(streamed(p, o, dir.file("out.gif")), expected) << what;
                EXPECT_EQ(inMemory(p, o), expected) << what;
            }
        }
    }
}

TEST(WriteAnimatedGif, OneSharedMapThatOverflowsFailsAsTheReferenceDoes)
{
    // Two frames of 256 colours each, no transparency: the shared map is
    // full, so replacing repeated pixels finds no room for a transparent
    // entry.
    TempDir dir;
    Project p;
    p.settings.Type = ProjectGif;
    p.settings.Width = p.settings.Height = 16;
    for (int k = 0; k < 2; ++k) {
        FrameRecord f;
        f.Width = f.Height = 16;
        Picture& pic = givePicture(f, Picture(16, 16));
        for (int i = 0; i < 256; ++i)
            pic.setPixel(i % 16, i / 16, rgb(std::uint8_t(i), std::uint8_t(k * 90), 9));
        if (k == 1)
            pic.setPixel(0, 0, pictureOf(p.frames[0]).pixel(0, 0));
        f.Gif.ColorReduction = rmNone;  // every colour kept
        p.frames.append(f);
    }
    pinGivenPictures(p);
    AnimatedGifOptions o;
    o.mergeColorMaps = o.mergeSimilarities = true;
    const std::string expected = referenceGif(p, o);
    EXPECT_EQ(streamed(p, o, dir.file("full.gif")), expected);
    EXPECT_EQ(inMemory(p, o), expected);
}

TEST(WriteAnimatedGif, AFailingFrameOrACancelLeavesTheEarlierFileAsItWasAndBuildsNothing)
{
    TempDir dir;
    const std::string path = dir.file("keep.gif");
    writeFile(path, {'o', 'l', 'd'});
    Project p = varied(0);
    p.frames[5].Gif.ColorReduction = rmNone;  // over 256 colours: "Color table overflow"
    pinGivenPictures(p);
    for (bool twoPasses : {false, true})
        for (int jobs : {1, 2, 3}) {
            AnimatedGifOptions o;
            o.jobs = jobs;
            o.crop = twoPasses;
            o.workingMemory = 0;  // every frame through the scratch file
            EXPECT_THROW(WriteAnimatedGif(p, o, path), std::exception);
            EXPECT_EQ(fileText(path), "old");
            EXPECT_THROW(buildAnimatedGifBytes(p, o), std::exception);
        }
    Project good = varied(0);
    pinGivenPictures(good);
    for (bool twoPasses : {false, true})
        for (int calls : {1, 5}) {
            AnimatedGifOptions o;
            o.mergeSimilarities = twoPasses;
            o.jobs = 2;
            o.workingMemory = 0;
            StopAfter stop(calls);
            EXPECT_FALSE(WriteAnimatedGif(good, o, path, stop));
            EXPECT_EQ(fileText(path), "old");
            StopAfter stopInMemory(calls);
            EXPECT_FALSE(buildAnimatedGifBytes(good, o, stopInMemory).has_value());
        }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "nothing but the old file in the folder";
}

TEST(WriteAnimatedGif, AnEmptyListFailsAsTheReferenceDoes)
{
    TempDir dir;
    Project p;
    p.settings.Type = ProjectGif;
    for (bool twoPasses : {false, true}) {
        AnimatedGifOptions o;
        o.mergeColorMaps = twoPasses;
        const std::string expected = referenceGif(p, o);
        EXPECT_EQ(streamed(p, o, dir.file("none.gif")), expected);
        EXPECT_EQ(inMemory(p, o), expected);
    }
}
