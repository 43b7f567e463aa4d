#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>

#include "engine/colour/bitmap.h"
#include "engine/colour/bitmap_frame.h"
#include "engine/gif/gif_image.h"
#include "engine/project/editing.h"
#include "engine/project/frame_cache.h"
#include "engine/project/frame_render.h"
#include "engine/project/project_file.h"
#include "support/picture_files.h"

using namespace pelko;
using namespace pelko::test;

namespace {

// Nine frames of three pictures, in every way that changes a frame's pixels:
// sizes that cut and pad, a stretched frame, the four mirrors, grey, negative.
struct Animation {
    TempDir dir;
    std::unique_ptr<SourceReader> reader = makeFileSourceReader();
    Project project;
    std::vector<std::string> files;

    Animation()
    {
        project.settings.Width = 64;
        project.settings.Height = 48;
        files = {writePng(dir.file("a.png"), patternPicture(40, 30)),
                 writePng(dir.file("b.png"), patternPicture(80, 20, 0x0000FF)),
                 writePng(dir.file("c.png"), patternPicture(20, 60, 0x00FF00))};
        std::vector<std::string> names;
        for (int i = 0; i < 9; ++i) names.push_back(files[std::size_t(i % 3)]);
        addFiles(project, names, *reader);
        for (int i = 0; i < 9; ++i) {
            FrameRecord& f = project.frames[std::size_t(i)];
            f.Flip = i % 4;
            f.Gray = i % 3 == 1;
            f.Inverse = i % 2 == 1;
            f.Left = i;
        }
        project.frames[4].Stretch = true;
        project.frames[5].Width = 50;  // padded white
        project.frames[6].Height = 7;  // cut
    }

    // Frame i as rendering it straight from its file gives it.
    Picture expected(int i) const
    {
        const FrameRecord& f = project.frames[std::size_t(i)];
        std::string error;
        return renderedImage(f, *reader->readStill(f.File, error), project.settings);
    }
};

Picture stripes(int w, int h, Color a, Color b, Color c)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.setPixel(x, y, (x + y) % 3 == 0 ? a : (x % 2 ? b : c));
    return p;
}

// A GIF of the pictures (few colours each, of the 6 x 6 x 6 cube, so the GIF
// holds them exactly),
// each sub-image at (i, 2i) with a colour map of its own.
std::string writeGif(const std::string& path, const std::vector<Picture>& pictures)
{
    TGIFImage image;
    image.SetWidth(100);
    image.SetHeight(100);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const int index = AddBitmap(image, Bitmap::fromPicture(pictures[i]));
        image.Images().GetImage(index)->SetLeft(std::uint16_t(i));
        image.Images().GetImage(index)->SetTop(std::uint16_t(2 * i));
    }
    writeFile(path, image.SaveToBytes());
    return path;
}

std::vector<Picture> gifPictures()
{
    return {stripes(30, 20, 0x0000FF, 0x00FF00, 0xFF0000), stripes(12, 40, 0x000000, 0xFFFFFF, 0x999999),
            stripes(50, 5, 0x336699, 0x996633, 0xCC00FF),  stripes(7, 7, 0x00FFFF, 0xFF00FF, 0xFFFF00),
            stripes(40, 30, 0x003366, 0x669900, 0x99CC33), stripes(1, 9, 0x333333, 0x666666, 0xCCCCCC)};
}

}  // namespace

TEST(FrameCache, EvictsPastTheBudgetAndRendersAgainToTheSamePixels)
{
    Animation a;
    Project& p = a.project;
    std::vector<Picture> expected;
    for (int i = 0; i < 9; ++i) expected.push_back(a.expected(i));
    // room for about two frame images: every pass renders (and reads) again
    const std::size_t budget = 2 * (64 * 48 * 3 + 1024);
    p.cache->setBudget(budget);
    std::vector<int> order{0, 1, 2, 3, 4, 5, 6, 7, 8};
    std::mt19937 random(7);
    for (int pass = 0; pass < 3; ++pass) {
        for (int i : order) {
            EXPECT_EQ(frameImage(p, i).get(), expected[std::size_t(i)]) << "frame " << i << " pass " << pass;
            std::string error;
            const FrameRecord& f = p.frames[std::size_t(i)];
            EXPECT_EQ(frameThumbnail(p, i).get(), makeThumbnail(*a.reader->readStill(f.File, error)));
            EXPECT_LE(p.cache->stats().bytes, budget);
        }
        std::shuffle(order.begin(), order.end(), random);
    }
    const FrameCacheStats s = p.cache->stats();
    EXPECT_GT(s.evictions, 0);
    EXPECT_GE(s.images, 3 * 9);
    EXPECT_GT(s.stillReads, 3);  // Add's three reads and more
    EXPECT_TRUE(p.cache->takeProblems().empty());

    // a picture handed out stays whole whatever is dropped meanwhile
    const FramePicture held = frameImage(p, 3);
    for (int i = 0; i < 9; ++i) frameImage(p, i);
    EXPECT_EQ(*held.picture, expected[3]);

    // with room enough, asking again renders nothing
    p.cache->setBudget(kDefaultFrameCacheBytes);
    for (int i = 0; i < 9; ++i) frameImage(p, i);
    const int images = p.cache->stats().images;
    for (int i = 0; i < 9; ++i) EXPECT_EQ(frameImage(p, i).get(), expected[std::size_t(i)]);
    EXPECT_EQ(p.cache->stats().images, images);
}

TEST(FrameCache, ThreadsAskingAtOnceGetTheSamePixels)
{
    Animation a;
    std::vector<Picture> expected;
    for (int i = 0; i < 9; ++i) expected.push_back(a.expected(i));
    a.project.cache->setBudget(3 * (64 * 48 * 3 + 1024));
    std::vector<std::thread> threads;
    std::vector<int> wrong(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            std::mt19937 random{unsigned(t)};
            for (int n = 0; n < 200; ++n) {
                const int i = int(random() % 9);
                const FramePicture got = frameImage(a.project, i);
                if (!got.ok() || *got.picture != expected[std::size_t(i)])
                    ++wrong[std::size_t(t)];
            }
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST(FrameCache, AGifIsDecodedOnceAndItsFrameIsTheSameReachedFirstOrLast)
{
    TempDir dir;
    const std::vector<Picture> pictures = gifPictures();
    const std::string gif = writeGif(dir.file("anim.gif"), pictures);
    auto reader = makeFileSourceReader();
    const int n = int(pictures.size());
    std::string error;
    const std::size_t compact = reader->readGif(gif, error)->byteSize();
    auto project = [&] {
        Project p;
        p.settings.Width = 100;
        p.settings.Height = 100;
        addFiles(p, {gif}, *reader);
        p.cache->clear();  // nothing of the GIF held
        return p;
    };
    {
        Project p = project();
        ASSERT_EQ(p.frames.count(), n);
        EXPECT_EQ(p.frames[3].Left, 3);
        EXPECT_EQ(p.frames[3].Top, 6);
    }
    for (int k = 0; k < n; ++k) {
        Project first = project();
        const Picture alone = frameImage(first, k).get();
        EXPECT_EQ(alone, pictures[std::size_t(k)]) << k;

        // room for the GIF's compact form and one frame image or two
        Project all = project();
        all.cache->setBudget(compact + 5000);
        const int reads = all.cache->stats().gifReads;
        for (int i = 0; i < n; ++i) frameImage(all, i);
        for (int i = n - 1; i >= 0; --i) frameImage(all, i);
        EXPECT_EQ(frameImage(all, k).get(), alone) << k;
        EXPECT_EQ(all.cache->stats().gifReads, reads + 1);
        EXPECT_GT(all.cache->stats().evictions, 0);
    }
}

TEST(FrameCache, OpeningRendersNothing)
{
    Animation a;
    const std::string gif = writeGif(a.dir.file("anim.gif"), gifPictures());
    addFiles(a.project, {gif}, *a.reader);
    saveProjectFile(a.project, a.dir.file("p.mcp"));

    Project q;
    openProjectFile(q, a.dir.file("p.mcp"), *a.reader, {});
    ASSERT_EQ(q.frames.count(), 9 + 6);
    const FrameCacheStats s = q.cache->stats();
    EXPECT_EQ(s.stillReads, 0);
    EXPECT_EQ(s.gifReads, 1);  // to find the sub-images named
    EXPECT_EQ(s.images, 0);
    EXPECT_EQ(s.thumbnails, 0);
    EXPECT_EQ(frameImage(q, 1).get(), a.expected(1));
    EXPECT_EQ(q.cache->stats().images, 1);
}

// A source that has gone keeps what the cache holds of it, whatever the
// budget; a source changed on disk is read again.
TEST(FrameCache, GoneFilesKeepTheirPixelsAndChangedFilesAreReadAgain)
{
    Animation a;
    Project& p = a.project;
    const Picture frame0 = a.expected(0), frame3 = a.expected(3);
    EXPECT_EQ(frameImage(p, 0).get(), frame0);
    std::filesystem::remove(a.files[0]);
    p.cache->setBudget(0);
    EXPECT_EQ(frameImage(p, 0).get(), frame0);
    EXPECT_EQ(frameImage(p, 3).get(), frame3);  // another frame of the same source
    EXPECT_TRUE(p.cache->takeProblems().empty());

    const Picture green = stripes(80, 20, 0x00FF00, 0x00FF00, 0x00FF00);
    writePng(a.files[1], green);
    EXPECT_EQ(frameImage(p, 1).get(), a.expected(1));  // made from the green picture

    // the file back as it was: its pixels are dropped for the budget again
    writePng(a.files[0], patternPicture(40, 30));
    frameImage(p, 0);
    EXPECT_LE(p.cache->stats().bytes, p.cache->budget());
}

TEST(FrameCache, EachProblemIsOneLogLine)
{
    Project p;
    FrameRecord gone;
    gone.File = "/nonexistent/picture.png";
    gone.Width = gone.Height = 4;
    p.frames.append(gone);
    FrameRecord huge = gone;
    huge.File = "/nonexistent/other.png";
    huge.Width = 70000;
    p.frames.append(huge);
    for (int pass = 0; pass < 3; ++pass) {
        EXPECT_FALSE(frameImage(p, 0).ok());
        EXPECT_EQ(frameThumbnail(p, 0).status, SourceStatus::MissingFile);
        EXPECT_EQ(frameImage(p, 1).status, SourceStatus::TooLarge);
    }
    EXPECT_EQ(
        p.cache->takeProblems(),
        (std::vector<std::string>{"Not found file: /nonexistent/picture.png",
                                  "Frame 2 (/nonexistent/other.png) cannot be rendered: 70000 x 4 pixels "
                                  "is more than a picture can hold."}));
    frameImage(p, 0);
    EXPECT_TRUE(p.cache->takeProblems().empty());
}
