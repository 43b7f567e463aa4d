// Retiming, dropping, ordering, choosing a range, crop and resize: the frame
// order, times, placement and canvas after each tool.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "edit_fixtures.h"
#include "engine/edit/canvas_crop.h"
#include "engine/edit/canvas_resize.h"
#include "engine/edit/edit_scope.h"
#include "engine/edit/frame_order.h"
#include "engine/edit/frame_times.h"
#include "engine/image/resample.h"
#include "engine/project/editing.h"

using namespace pelko;
using test::lettersOf;
using test::lettersProject;
using test::TempDir;

TEST(EditTools, OrderAndTimeTable)
{
    struct Case {
        const char* name;
        const char* frames;
        std::vector<int> selection;
        std::function<void(Project&)> tool;
        const char* after;
        std::vector<int> selectedAfter;
    };
    const Case cases[] = {
        {"speed halves the times",
         "A/100 B/250 C/20000",
         {},
         [](Project& p) { scaleTimes(p, 50); },
         "A/50 B/125 C/10000",
         {}},
        {"speed keeps times within 20..32000",
         "A/30 B/20000",
         {},
         [](Project& p) { scaleTimes(p, 200); },
         "A/60 B/32000",
         {}},
        {"and at the short end", "A/30 B/500", {}, [](Project& p) { scaleTimes(p, 10); }, "A/20 B/50", {}},
        {"speed of the selection",
         "A/100 B/100 C/100",
         {0, 2},
         [](Project& p) { scaleTimes(p, 300); },
         "A/300 B/100 C/300",
         {0, 2}},
        {"one time for all", "A/100 B/250", {}, [](Project& p) { setTimes(p, 70); }, "A/70 B/70", {}},
        {"drop every 2nd",
         "A/100 B/100 C/100 D/100 E/100",
         {},
         [](Project& p) { dropEveryNth(p, 2); },
         "A/200 C/200 E/100",
         {}},
        {"drop every 3rd of the selection",
         "A/100 B/100 C/100 D/100 E/100 F/100",
         {1, 2, 3, 4, 5},
         [](Project& p) { dropEveryNth(p, 3); },
         "A/100 B/100 C/200 E/100 F/100",
         {1, 2, 3, 4}},
        {"reverse", "A/100 B/200 C/300", {}, [](Project& p) { reverseFrames(p); }, "C/300 B/200 A/100", {}},
        {"reverse the selection in its places",
         "A/100 B/200 C/300 D/400",
         {1, 2},
         [](Project& p) { reverseFrames(p); },
         "A/100 C/300 B/200 D/400",
         {2, 1}},
        {"yo-yo",
         "A/100 B/200 C/300 D/400",
         {},
         [](Project& p) { yoyoFrames(p); },
         "A/100 B/200 C/300 D/400 C/300 B/200",
         {}},
        {"yo-yo of two frames adds none",
         "A/100 B/200",
         {},
         [](Project& p) { yoyoFrames(p); },
         "A/100 B/200",
         {}},
        {"yo-yo of the selection",
         "A/100 B/200 C/300 D/400",
         {0, 1, 2},
         [](Project& p) { yoyoFrames(p); },
         "A/100 B/200 C/300 B/200 D/400",
         {0, 1, 2}},
        {"a range deleted",
         "A/100 B/100 C/100 D/100",
         {},
         [](Project& p) {
             selectRange(p, 2, 3);
             deleteSelected(p);
         },
         "A/100 D/100",
         {}},
        {"a range scopes a tool",
         "A/100 B/100 C/100 D/100",
         {},
         [](Project& p) {
             selectRange(p, 2, 4);
             reverseFrames(p);
         },
         "A/100 D/100 C/100 B/100",
         {3, 2, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Project p = lettersProject(dir, c.frames);
        p.selection.assign(c.selection);
        c.tool(p);
        EXPECT_EQ(lettersOf(p), c.after);
        EXPECT_EQ(p.selection.indices(), c.selectedAfter);
    }
}

TEST(EditTools, AviTimesAreOneTime)
{
    TempDir dir;
    Project p = lettersProject(dir, "A/1000 B/1000 C/1000 D/1000", ProjectAvi);
    p.settings.AviFrameTime = 1000;
    p.selection.assign({0, 1});
    scaleTimes(p, 50);
    EXPECT_EQ(p.settings.AviFrameTime, 500);
    EXPECT_EQ(lettersOf(p), "A/500 B/500 C/500 D/500");
    setTimes(p, 20000 / 2);
    EXPECT_EQ(p.settings.AviFrameTime, 10000);
    EXPECT_THROW(setTimes(p, 10001), EditError);  // past the AVI frame time's limit

    p.selection.clear();
    const EditToolResult dropped = dropEveryNth(p, 2);
    EXPECT_EQ(lettersOf(p), "A/10000 C/10000");
    EXPECT_NE(dropped.note.find("20000 msec shorter"), std::string::npos) << dropped.note;
}

TEST(EditTools, WrongValuesChangeNothing)
{
    TempDir dir;
    const Project original = lettersProject(dir, "A/100 B/100 C/100");
    const std::vector<std::function<void(Project&)>> wrong = {
        [](Project& p) { selectRange(p, 0, 2); },
        [](Project& p) { selectRange(p, 2, 4); },
        [](Project& p) { selectRange(p, 3, 2); },
        [](Project& p) { scaleTimes(p, 0); },
        [](Project& p) { setTimes(p, 10); },
        [](Project& p) { setTimes(p, 32001); },
        [](Project& p) { dropEveryNth(p, 1); },
        [&](Project& p) {
            cropCanvas(p, {1, 0, 4, 3}, dir.path().string());
        },  // past the right edge
        [&](Project& p) {
            cropCanvas(p, {-1, 0, 3, 3}, dir.path().string());
        },
        [&](Project& p) { resizeAnimation(p, 4, 100, dir.path().string()); },
    };
    for (std::size_t i = 0; i < wrong.size(); ++i) {
        SCOPED_TRACE(i);
        Project p = original;
        EXPECT_THROW(wrong[i](p), EditError);
        EXPECT_EQ(lettersOf(p), lettersOf(original));
        EXPECT_EQ(p.settings, original.settings);
        EXPECT_FALSE(p.changed);
    }
}

namespace {

// A 20 x 10 canvas with a pattern frame over all of it, a small frame at
// (8, 4) and a mirrored small frame at (0, 1).
Project canvasProject(const TempDir& dir)
{
    Project p;
    p.settings.Type = ProjectGif;
    p.settings.Width = 20;
    p.settings.Height = 10;
    auto frame = [&](const std::string& name, Picture picture, int left, int top) {
        FrameRecord f;
        f.Width = picture.width();
        f.Height = picture.height();
        f.File = test::writePng(dir.file(name), picture);
        f.Left = left;
        f.Top = top;
        f.Time = 100;
        p.frames.append(f);
    };
    frame("whole.png", test::patternPicture(20, 10), 0, 0);
    frame("small.png", test::patternPicture(6, 4, 0x0000FF), 8, 4);
    frame("mirrored.png", test::patternPicture(5, 3, 0x00FF00), 0, 1);
    p.frames[2].Flip = FlipHorizontal;
    return p;
}

Picture cut(const Picture& p, const Rect& r)
{
    Picture out(r.width, r.height);
    out.draw(p, -r.left, -r.top);
    return out;
}

}  // namespace

// Crop: the canvas takes the rectangle, frames inside it move, frames that
// start outside it show their visible part from a new file, a frame wholly
// outside goes with its time given to the frame before; every moment shows
// the rectangle of what it showed.
TEST(EditTools, CropKeepsThePicturesWhereTheyWere)
{
    TempDir dir, work;
    Project p = canvasProject(dir);
    const auto before = test::timeline(p);
    const Rect crop{5, 2, 12, 7};
    const EditToolResult r = cropCanvas(p, crop, work.path().string());

    EXPECT_EQ(p.settings.Width, 12);
    EXPECT_EQ(p.settings.Height, 7);
    ASSERT_EQ(p.frames.count(), 2);
    EXPECT_EQ(r.removed, 1);  // the mirrored frame lies left of the crop
    EXPECT_EQ(p.frames[1].File, dir.file("small.png"));
    EXPECT_EQ(p.frames[1].Left, 3);
    EXPECT_EQ(p.frames[1].Top, 2);
    EXPECT_EQ(p.frames[1].Time, 200);
    EXPECT_EQ(std::filesystem::path(p.frames[0].File).parent_path(), work.path());
    EXPECT_EQ(p.frames[0].Left, 0);
    EXPECT_EQ(p.frames[0].Width, 12);
    EXPECT_EQ(p.frames[0].Height, 7);

    const auto after = test::timeline(p);
    ASSERT_EQ(after.size(), 2u);
    EXPECT_TRUE(after[0].screen == cut(before[0].screen, crop));
    EXPECT_TRUE(after[1].screen == cut(before[2].screen, crop));
    EXPECT_EQ(after[1].ms, before[1].ms + before[2].ms);
}

TEST(EditTools, CropOfAMirroredFrameCutsWhatIsShown)
{
    TempDir dir, work;
    Project p = canvasProject(dir);
    p.frames.erase(0);
    const auto before = test::timeline(p);
    const Rect crop{2, 0, 15, 10};
    cropCanvas(p, crop, work.path().string());
    EXPECT_EQ(p.frames[1].Flip, FlipNormal);
    EXPECT_EQ(p.frames[1].Left, 0);
    EXPECT_EQ(p.frames[1].Top, 1);
    EXPECT_EQ(p.frames[1].Width, 3);
    const auto after = test::timeline(p);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        EXPECT_TRUE(after[i].screen == cut(before[i].screen, crop));
}

// Resize: every frame's place and size scale; its picture is the shown
// picture resampled, from a new file; the sources stay as they were.
TEST(EditTools, ResizeScalesPlacementAndPictures)
{
    TempDir dir, work;
    Project p = canvasProject(dir);
    const auto sourceBytes = readFile(dir.file("small.png"));
    const Picture small = frameImage(p, 1).get();
    resizeAnimation(p, 40, 15, work.path().string());

    EXPECT_EQ(p.settings.Width, 40);
    EXPECT_EQ(p.settings.Height, 15);
    const FrameRecord& f = p.frames[1];
    EXPECT_EQ(f.Left, 16);
    EXPECT_EQ(f.Top, 6);
    EXPECT_EQ(f.Width, 12);
    EXPECT_EQ(f.Height, 6);
    EXPECT_TRUE(frameImage(p, 1).get() == resamplePicture(small, 12, 6));
    EXPECT_EQ(readFile(dir.file("small.png")), sourceBytes);
    EXPECT_EQ(p.frames[2].Flip, FlipNormal);  // the mirror is in the new picture
    EXPECT_EQ(work.names().size(), 3u);
}
