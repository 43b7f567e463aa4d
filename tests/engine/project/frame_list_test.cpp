#include <gtest/gtest.h>

#include "engine/project/frame_list.h"
#include "engine/project/project.h"
#include "engine/project/selected_frames.h"

using namespace pelko;

namespace {

FrameRecord frame(const char* file, Color c)
{
    FrameRecord f;
    f.File = file;
    f.Gif.TransparentColor = c;
    f.Left = int(c & 0xFF);
    return f;
}

}  // namespace

// A frame's pictures follow its fields through the frame cache.
TEST(FrameList, OperationsKeepFieldsTogether)
{
    FrameList list;
    list.append(frame("a.bmp", 0x0000FF));
    list.append(frame("c.bmp", 0x00FF00));
    list.insert(1, frame("b.bmp", 0xFF0000));
    ASSERT_EQ(list.count(), 3);
    list.exchange(0, 2);
    EXPECT_EQ(list[0].File, "c.bmp");
    EXPECT_EQ(list[0].Gif.TransparentColor, 0x00FF00u);
    EXPECT_EQ(list[0].Left, 0);
    EXPECT_EQ(list[2].File, "a.bmp");
    EXPECT_EQ(list[2].Gif.TransparentColor, 0x0000FFu);
    EXPECT_EQ(list[2].Left, 0xFF);
    list.erase(1);
    EXPECT_EQ(list[1].File, "a.bmp");
    EXPECT_THROW(list.erase(5), std::out_of_range);
    EXPECT_THROW(list.insert(3, FrameRecord{}), std::out_of_range);
    list.clear();
    EXPECT_TRUE(list.empty());
}

TEST(FrameRecord, NewFrameHasDefaultGifSettings)
{
    const FrameRecord f;
    EXPECT_EQ(f.Gif.ColorDither, 0);
    EXPECT_EQ(f.Gif.ColorReduction, 7);
    EXPECT_EQ(f.Gif.ReductionBit, 8);
    EXPECT_EQ(f.Gif.GIFCompression, 0);
    EXPECT_EQ(f.Gif.DisposalMethod, 0);
    EXPECT_EQ(f.Gif.TransparentColor, 0xFFFFFFu);
    EXPECT_EQ(f.Gif.TransparentColorIndex, 0);
    EXPECT_FALSE(f.Gif.GIFTransparent);
    EXPECT_EQ(f.Gif, kDefaultGifFrameSettings);
}

TEST(Selection, KeepsOrderOfSelectingAndUniqueness)
{
    Selection s;
    s.add(4);
    s.add(1);
    s.add(4);
    EXPECT_EQ(s.indices(), (std::vector<int>{4, 1}));
    EXPECT_EQ(s.first(), 4);
    s.toggle(4);
    EXPECT_EQ(s.first(), 1);
    s.selectAll(3);
    EXPECT_EQ(s.indices(), (std::vector<int>{0, 1, 2}));
    s.clear();
    EXPECT_EQ(s.first(), -1);
}

// Each selected frame in the order of selecting; an index past the list (a
// frame deleted meanwhile) is passed over but counted in the progress.
TEST(Selection, EachSelectedFrameInTheOrderOfSelecting)
{
    Project p;
    for (const char* file : {"a.bmp", "b.bmp", "c.bmp"}) p.frames.append(frame(file, 0));
    p.selection.assign({2, 7, 0});
    struct Percents : ProgressSink {
        std::vector<int> seen;
        void progress(int percent) override { seen.push_back(percent); }
    } percents;
    std::vector<std::string> visited;
    forEachSelectedFrame(p, percents, [&](int i, FrameRecord& f) {
        visited.push_back(std::to_string(i) + f.File);
        f.Left = 9;
    });
    EXPECT_EQ(visited, (std::vector<std::string>{"2c.bmp", "0a.bmp"}));
    EXPECT_EQ(percents.seen, (std::vector<int>{33, 66, 100}));
    EXPECT_EQ(p.frames[0].Left, 9);
    EXPECT_EQ(p.frames[1].Left, 0);
}

TEST(StatusTexts, PlaybackTimeAndCounts)
{
    Project gif;
    gif.settings.Type = ProjectGif;
    for (int t : {200, 300, 600}) {
        FrameRecord f;
        f.Time = std::uint16_t(t);
        gif.frames.append(std::move(f));
    }
    EXPECT_EQ(playbackText(gif.totalTime()), "Playback: 1.1 sec");
    EXPECT_EQ(frameCountText(gif.frames.count()), "Frame's number: 3");

    Project avi;
    avi.settings.AviFrameTime = 200;
    for (int i = 0; i < 4; ++i) avi.frames.append(FrameRecord{});
    EXPECT_EQ(playbackText(avi.totalTime()), "Playback: 800 msec");
    EXPECT_EQ(playbackText(1500), "Playback: 1.5 sec");
    EXPECT_EQ(playbackText(2000), "Playback: 2 sec");
    EXPECT_EQ(sizeText(320, 200), "Size: 320 x 200");
    EXPECT_EQ(typeText(ProjectGif), "GIF");
    EXPECT_EQ(typeText(ProjectAvi), "AVI");
}
