#include <gtest/gtest.h>

#include "engine/effects/clone.h"
#include "engine/project/editing.h"

using namespace pelko;

namespace {

Project lettered(const std::string& letters)
{
    Project p;
    for (char c : letters) {
        FrameRecord f;
        f.File = std::string(1, c);
        f.Flip = 2;
        f.Gray = true;
        f.Gif.TransparentColorIndex = std::uint8_t(c);
        f.image = Picture(2, 2);
        f.image.setPixel(1, 1, Color(c));
        f.thumbnail = f.image;
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
    EXPECT_EQ(a.image, b.image);  // no source read: the mirrored, grey picture itself
    EXPECT_EQ(a.thumbnail, b.thumbnail);
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
