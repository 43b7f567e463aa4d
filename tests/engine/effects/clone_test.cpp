#include <gtest/gtest.h>

#include "engine/effects/clone.h"
#include "engine/project/editing.h"
#include "engine/project/frame_cache.h"

using namespace pelko;

namespace {

// Frames "A", "B", ... whose files do not exist: their mirrored, grey
// pictures are pinned in the frame cache, as for sources that have gone.
Project lettered(const std::string& letters)
{
    Project p;
    for (char c : letters) {
        FrameRecord f;
        f.File = std::string(1, c);
        f.Flip = 2;
        f.Gray = true;
        f.Width = f.Height = 2;
        f.Gif.TransparentColorIndex = std::uint8_t(c);
        Picture image(2, 2);
        image.setPixel(1, 1, Color(c));
        p.cache->pin(f, p.settings, image);
        p.frames.append(std::move(f));
    }
    return p;
}

std::string files(const Project& p)
{
    std::string s;
    for (const FrameRecord& f : p.frames) s += f.File;
    return s;
}

}  // namespace

TEST(Clone, CopiesEverythingInPlace)
{
    Project p = lettered("ABCDE");
    p.selection.selectOnly(3);
    ASSERT_TRUE(cloneSelected(p));
    EXPECT_EQ(files(p), "ABCDDE");
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{4}));
    const FrameRecord &a = p.frames[3], &b = p.frames[4];
    EXPECT_EQ(a.Flip, b.Flip);
    EXPECT_EQ(a.Gray, b.Gray);
    EXPECT_EQ(a.Gif, b.Gif);
    // no source read: the copy shares the mirrored, grey picture itself
    const FramePicture pa = frameImage(p, 3), pb = frameImage(p, 4);
    ASSERT_TRUE(pa.ok());
    EXPECT_EQ(pa.picture, pb.picture);
    EXPECT_EQ(pa.get().pixel(1, 1), Color('D'));
    EXPECT_EQ(p.cache->stats().stillReads, 0);
    EXPECT_TRUE(p.changed);
}

TEST(Clone, SelectAllDoublesEveryFrame)
{
    Project p = lettered("ABC");
    selectAll(p);
    cloneSelected(p);
    EXPECT_EQ(files(p), "AABBCC");
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{1}));
}

TEST(Clone, LastFrameLeavesDownDisabled)
{
    Project p = lettered("AB");
    p.selection.selectOnly(1);
    cloneSelected(p);
    EXPECT_EQ(p.selection.first(), 2);
    EXPECT_TRUE(commandEnabling(p).up);
    EXPECT_FALSE(commandEnabling(p).down);
    Project none = lettered("A");
    EXPECT_FALSE(cloneSelected(none));
    EXPECT_FALSE(none.changed);
}
