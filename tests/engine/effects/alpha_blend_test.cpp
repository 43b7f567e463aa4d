// Alpha-blend transition frames: the alpha sequences, the blend of two
// pictures, the GIF written into the work folder and the frames inserted
// after the anchor.

#include <gtest/gtest.h>

#include "engine/effects/alpha_blend.h"
#include "engine/image/ppm.h"
#include "engine/project/frame_cache.h"
#include "gif_file_check.h"
#include "support/given_pictures.h"
#include "support/temp_dir.h"

using namespace pelko;

namespace {

// Frames of one colour each, 4 x 4, their pictures pinned in the cache.
Project colouredFrames(const std::vector<Color>& colours, std::int32_t type = ProjectGif)
{
    Project p;
    p.settings.Width = 4;
    p.settings.Height = 4;
    p.settings.Type = type;
    for (Color c : colours) {
        FrameRecord f;
        f.Width = f.Height = 4;
        f.Time = 500;
        Picture picture(4, 4);
        picture.fill(c);
        test::givePicture(f, picture);
        p.frames.append(std::move(f));
    }
    return test::withGivenPictures(std::move(p));
}

Color grey(int v)
{
    return rgb(std::uint8_t(v), std::uint8_t(v), std::uint8_t(v));
}

bool allPixels(const Picture& p, Color c)
{
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            if (p.pixel(x, y) != c)
                return false;
    return !p.empty();
}

}  // namespace

TEST(AlphaBlend, Sequences)
{
    struct Case {
        int count;
        bool hideUp;
        std::vector<int> alphas;
    };
    std::vector<int> up255, down255;
    for (int a = 0; a < 255; ++a) up255.push_back(a);
    for (int a = 255; a > 0; --a) down255.push_back(a);
    const Case cases[] = {
        {5, false, {0, 63, 126, 189, 252}},
        {5, true, {255, 192, 129, 66, 3}},
        {2, false, {0, 255}},
        {2, true, {255, 0}},
        {255, false, up255},
        {255, true, down255},
    };
    for (const Case& c : cases) EXPECT_EQ(alphaSequence(c.count, c.hideUp), c.alphas) << c.count << c.hideUp;
    EXPECT_EQ(alphaStep(5), 63);
    EXPECT_EQ(alphaStep(2), 255);
    EXPECT_EQ(alphaStep(255), 1);
}

TEST(AlphaBlend, BlendRoundsToNearestAndScalesTheOverPicture)
{
    struct Case {
        int over, dest, alpha, result;
    };
    const Case cases[] = {{255, 0, 63, 63},   {255, 0, 128, 128}, {200, 100, 63, 125},
                          {10, 250, 255, 10}, {10, 250, 0, 250},  {0, 255, 1, 254}};
    for (const Case& c : cases) {
        Picture dest(3, 2), over(3, 2);
        dest.fill(grey(c.dest));
        over.fill(grey(c.over));
        blendOnto(dest, over, c.alpha);
        EXPECT_TRUE(allPixels(dest, grey(c.result))) << c.over << " over " << c.dest << " at " << c.alpha;
    }
    // a 2 x 2 white picture over 5 x 4 black: scaled to the destination
    Picture dest(5, 4), over(2, 2);
    dest.fill(0);
    blendOnto(dest, over, 189);
    EXPECT_TRUE(allPixels(dest, grey(189)));
}

TEST(AlphaBlend, InsertsTheFadeAfterTheAnchor)
{
    test::TempDir work;
    const Color others[] = {rgb(255, 0, 0), rgb(0, 255, 0), rgb(0, 0, 255)};
    Project p = colouredFrames({others[0], others[1], 0x000000, 0xFFFFFF, others[2]});
    FrameRecord& a = p.frames[3];
    a.Left = 1;
    a.Top = 2;
    a.Gif.ReductionBit = 6;
    a.Gif.GIFTransparent = true;
    test::pinGivenPictures(p);
    p.selection.assign({3, 1});
    const auto reader = makeFileSourceReader();

    AlphaBlendSettings s;  // 5 pictures, show up
    s.time = 305;
    const GeneratedFrames made = addAlphaBlendFrames(p, s, work.path().string(), *reader);
    EXPECT_EQ(made.path, work.file("AlphaBlend.gif"));
    EXPECT_EQ(made.inserted, 5);
    ASSERT_EQ(p.frames.count(), 10);
    EXPECT_TRUE(allPixels(frameImage(p, 9).get(), others[2])) << "the old frame 4 moves to 9";
    const std::vector<int> alphas = {0, 63, 126, 189, 252};
    for (int k = 0; k < 5; ++k) {
        const FrameRecord& f = p.frames[std::size_t(4 + k)];
        EXPECT_EQ(f.File, made.path);
        EXPECT_EQ(f.Frame, k);
        EXPECT_EQ(f.Time, 300) << "305 ms is stored as delay 30";
        EXPECT_EQ(std::tie(f.Left, f.Top, f.Width, f.Height), std::make_tuple(1, 2, 4, 4));
        EXPECT_EQ(f.Gif.ReductionBit, 6);
        EXPECT_TRUE(f.Gif.GIFTransparent);
        EXPECT_FALSE(f.Stretch);
        EXPECT_TRUE(allPixels(frameImage(p, 4 + k).get(), grey(alphas[std::size_t(k)]))) << k;
    }
    EXPECT_EQ(p.selection.indices(), std::vector<int>{4});
    EXPECT_TRUE(p.changed);

    const test::CheckedGif gif = test::readWithGiflib(made.path);
    if (test::kHaveGiflib) {
        ASSERT_TRUE(gif.ok);
        ASSERT_EQ(gif.frames.size(), 5u);
        EXPECT_TRUE(gif.loops);
        for (std::size_t k = 0; k < 5; ++k) {
            const test::CheckedGifFrame& f = gif.frames[k];
            EXPECT_EQ(std::tie(f.left, f.top, f.width, f.height), std::make_tuple(0, 0, 4, 4));
            EXPECT_EQ(f.delay, 30);
            EXPECT_FALSE(f.transparent);
            EXPECT_EQ(f.pixels, std::vector<Color>(16, grey(alphas[k])));
        }
    }

    // a second run never touches the first file
    const std::vector<std::uint8_t> first = readFile(made.path);
    p.selection.selectOnly(3);
    s.hideUp = true;
    s.count = 2;
    const GeneratedFrames again = addAlphaBlendFrames(p, s, work.path().string(), *reader);
    EXPECT_EQ(again.path, work.file("AlphaBlend1.gif"));
    EXPECT_EQ(readFile(made.path), first);
    EXPECT_TRUE(allPixels(frameImage(p, 4).get(), grey(255)));
    EXPECT_TRUE(allPixels(frameImage(p, 5).get(), grey(0)));
    EXPECT_EQ(p.frames.count(), 12);
}

TEST(AlphaBlend, FirstFrameFadesFromTheBackgroundOverTheCanvas)
{
    test::TempDir work;
    Project p = colouredFrames({0xFFFFFF, 0x000000});
    p.settings.Width = 6;
    p.settings.Height = 5;
    test::pinGivenPictures(p);
    p.selection.selectOnly(0);
    AlphaBlendSettings s;
    s.count = 2;
    s.background = rgb(255, 0, 0);

    const BlendSources sources = blendSources(p, 0);
    EXPECT_TRUE(sources.partnerIsBackground());
    const Picture first = blendedPicture(sources, s, 0), last = blendedPicture(sources, s, 1);
    EXPECT_EQ(std::make_pair(first.width(), first.height()), std::make_pair(6, 5));
    EXPECT_TRUE(allPixels(first, rgb(255, 0, 0)));
    EXPECT_TRUE(allPixels(last, 0xFFFFFF));

    const auto reader = makeFileSourceReader();
    const GeneratedFrames made = addAlphaBlendFrames(p, s, work.path().string(), *reader);
    EXPECT_EQ(made.inserted, 2);
    EXPECT_EQ(p.frames[1].File, made.path);
    EXPECT_TRUE(allPixels(frameImage(p, 3).get(), 0x000000)) << "the old frame 1 moves to 3";
    EXPECT_EQ(p.selection.indices(), std::vector<int>{1});
    const test::CheckedGif gif = test::readWithGiflib(made.path);
    if (test::kHaveGiflib) {
        ASSERT_TRUE(gif.ok);
        ASSERT_EQ(gif.frames.size(), 2u);
        EXPECT_EQ(std::make_pair(gif.frames[0].width, gif.frames[0].height), std::make_pair(6, 5));
        EXPECT_EQ(gif.frames[0].pixels, std::vector<Color>(30, rgb(255, 0, 0)));
    }
}

TEST(AlphaBlend, InsertedTimes)
{
    struct Case {
        std::int32_t type;
        int time;
        int expected;
    };
    // a GIF project takes the delay back (a delay x 10 past 65535 is the
    // longest time), an AVI project its own frame time
    const Case cases[] = {{ProjectGif, 305, 300}, {ProjectGif, 100000, 65535}, {ProjectAvi, 305, 1000}};
    for (const Case& c : cases) {
        test::TempDir work;
        Project p = colouredFrames({0xFFFFFF, 0x000000}, c.type);
        p.selection.selectOnly(1);
        AlphaBlendSettings s;
        s.count = 2;
        s.time = c.time;
        const auto reader = makeFileSourceReader();
        addAlphaBlendFrames(p, s, work.path().string(), *reader);
        ASSERT_EQ(p.frames.count(), 4);
        EXPECT_EQ(p.frames[2].Time, c.expected) << c.time;
        EXPECT_EQ(p.frames[3].Time, c.expected) << c.time;
    }
}

TEST(AlphaBlend, AFrameThatCannotBeRenderedChangesNothing)
{
    test::TempDir work;
    Project p = colouredFrames({0xFFFFFF, 0x000000});
    FrameRecord gone;
    gone.File = work.file("gone.png");
    gone.Width = gone.Height = 4;
    p.frames.insert(1, gone);
    p.selection.selectOnly(1);
    const auto reader = makeFileSourceReader();
    EXPECT_THROW(addAlphaBlendFrames(p, {}, work.path().string(), *reader), std::runtime_error);
    EXPECT_EQ(p.frames.count(), 3);
    EXPECT_EQ(p.selection.indices(), std::vector<int>{1});
    EXPECT_FALSE(p.changed);
    EXPECT_TRUE(work.names().empty());
}
