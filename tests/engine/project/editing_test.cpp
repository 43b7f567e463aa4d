#include <gtest/gtest.h>

#include "engine/project/editing.h"
#include "engine/project/frame_cache.h"
#include "engine/project/frame_info.h"
#include "engine/project/frame_options.h"

using namespace pelko;

namespace {

// A project of n frames named "0".."n-1", each with its own time and a
// one-pixel image (pinned in the frame cache: no such files exist) so moves
// can be followed.
Project project(int n, bool gif = true)
{
    Project p;
    p.settings.Type = gif ? ProjectGif : ProjectAvi;
    p.settings.Width = 200;
    p.settings.Height = 100;
    for (int i = 0; i < n; ++i) {
        FrameRecord f;
        f.File = std::to_string(i);
        f.Time = std::uint16_t(gif ? 100 + i : 1000);
        Picture image(1, 1);
        image.setPixel(0, 0, Color(i));
        p.cache->pin(f, p.settings, image);
        p.frames.append(std::move(f));
    }
    return p;
}

std::vector<std::string> names(const Project& p)
{
    std::vector<std::string> out;
    for (const FrameRecord& f : p.frames) out.push_back(f.File);
    return out;
}

}  // namespace

TEST(Selection, ClickRules)
{
    Project p = project(5);
    // plain click selects one frame
    EXPECT_EQ(clickCard(p, 2, false, false), 2);
    // Ctrl adds, and the preview keeps the first
    EXPECT_EQ(clickCard(p, 4, true, false), 2);
    EXPECT_EQ(clickCard(p, 0, true, false), 2);
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{2, 4, 0}));
    // plain click on one of three selected leaves only that one
    EXPECT_EQ(clickCard(p, 4, false, false), 4);
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{4}));
    // Ctrl+click on the first of two removes it; the other is shown
    clickCard(p, 1, true, false);
    EXPECT_EQ(clickCard(p, 4, true, false), 1);
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{1}));
    // right click on a selected frame keeps the selection; elsewhere selects that one alone
    clickCard(p, 3, true, false);
    EXPECT_EQ(clickCard(p, 3, false, true), 1);
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{1, 3}));
    EXPECT_EQ(clickCard(p, 0, false, true), 0);
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{0}));
    // Ctrl+click on the only selected frame empties the preview
    EXPECT_EQ(clickCard(p, 0, true, false), -1);
    clickCard(p, 2, false, false);
    clickEmptyStrip(p);
    EXPECT_TRUE(p.selection.empty());
}

TEST(Enabling, UpAndDownFollowTheSingleSelectedFrame)
{
    Project p = project(3);
    p.settings.Type = ProjectAvi;
    struct Case {
        std::vector<int> selected;
        bool up, down;
    } cases[] = {{{0}, false, true},
                 {{1}, true, true},
                 {{2}, true, false},
                 {{0, 2}, false, false},
                 {{}, false, false}};
    for (const Case& c : cases) {
        p.selection.assign(c.selected);
        const CommandEnabling e = commandEnabling(p);
        EXPECT_EQ(e.up, c.up);
        EXPECT_EQ(e.down, c.down);
        EXPECT_EQ(e.selected, !c.selected.empty());
        EXPECT_FALSE(e.optimizeColor);
    }
    p.settings.Type = ProjectGif;
    EXPECT_FALSE(commandEnabling(p).optimizeColor);
    p.selection.selectOnly(1);
    EXPECT_TRUE(commandEnabling(p).optimizeColor);
    EXPECT_FALSE(commandEnabling(Project{}).listNotEmpty);
}

TEST(Editing, DeleteUpDownSelectAll)
{
    Project p = project(5);
    p.selection.assign({1, 3});
    deleteSelected(p);
    EXPECT_EQ(names(p), (std::vector<std::string>{"0", "2", "4"}));
    EXPECT_TRUE(p.selection.empty());
    EXPECT_TRUE(p.changed);

    p.selection.selectOnly(0);
    EXPECT_FALSE(moveUp(p));
    EXPECT_TRUE(moveDown(p));
    EXPECT_EQ(names(p), (std::vector<std::string>{"2", "0", "4"}));
    EXPECT_EQ(p.frames[1].Time, 100);  // a GIF frame takes its time along
    EXPECT_EQ(frameImage(p, 1).get().pixel(0, 0), 0u);
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{1}));
    EXPECT_TRUE(moveUp(p));
    EXPECT_EQ(names(p), (std::vector<std::string>{"0", "2", "4"}));

    selectAll(p);
    EXPECT_EQ(p.selection.indices(), (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(moveDown(p));
}

TEST(Editing, PreviewDragIsClampedAndOnlyARealMoveMarksChanged)
{
    EXPECT_EQ(clampDrag(-5, 10, 200, 50, 200, 100).x, 0);  // as wide as the canvas: Left stays 0
    EXPECT_EQ(clampDrag(180, 10, 50, 50, 200, 100).x, 150);
    EXPECT_EQ(clampDrag(10, 70, 50, 50, 200, 100).y, 50);
    Project p = project(2);
    p.selection.selectOnly(1);
    dropPreviewFrame(p, {0, 0});
    EXPECT_FALSE(p.changed);
    dropPreviewFrame(p, {3, 4});
    EXPECT_TRUE(p.changed);
    EXPECT_EQ(p.frames[1].Left, 3);
    EXPECT_EQ(p.frames[1].Top, 4);
}

TEST(FrameOptions, CaptionCentreAndDrag)
{
    Selection s;
    s.selectOnly(1);
    EXPECT_EQ(frameOptionsCaption(s), "Frame 2");
    s.assign({6, 1, 4});
    EXPECT_EQ(frameOptionsCaption(s), "Frames: 2, 5, 7");
    EXPECT_EQ(initialFrameOptionsMarks(s).any(), false);
    EXPECT_EQ(centredPlacement(200, 100, 101, 50).x, 49);
    EXPECT_EQ(clampDrag(180, 0, 40, 10, 200, 100).x, 160);  // stops at the right edge
    EXPECT_EQ(clampDrag(-3, -3, 40, 10, 200, 100).y, 0);
}

TEST(FrameOptions, OnlyMarkedValuesBecomePendingAndTimeRules)
{
    // GIF project, three frames selected, only the time changed
    Project p = project(4);
    p.selection.assign({0, 2, 3});
    p.frames[2].Left = 7;
    PendingFrameOptions pending;
    FrameOptionsValues dialog = frameOptionsFromFrame(p.frames[0]);
    dialog.time = 250;
    FrameOptionsMarks marks;
    marks.time = true;
    const bool changed = confirmFrameOptions(pending, dialog, marks, p.settings);
    EXPECT_TRUE(changed);
    EXPECT_TRUE(pending.flags.time);
    EXPECT_FALSE(pending.flags.placement());
    auto reader = makeFileSourceReader();
    applyFrameOptions(p, pending, changed, *reader);
    EXPECT_EQ(p.frames[0].Time, 250);
    EXPECT_EQ(p.frames[1].Time, 101);  // not selected
    EXPECT_EQ(p.frames[2].Time, 250);
    EXPECT_EQ(p.frames[2].Left, 7);  // keeps its own placement
    EXPECT_TRUE(p.log.empty());

    // AVI project: every frame gets the time, which becomes the AVI frame time
    Project a = project(3, false);
    a.selection.selectOnly(1);
    PendingFrameOptions pa;
    FrameOptionsValues da = frameOptionsFromFrame(a.frames[1]);
    da.time = 400;
    FrameOptionsMarks ma;
    ma.time = true;
    EXPECT_TRUE(confirmFrameOptions(pa, da, ma, a.settings));
    EXPECT_EQ(a.settings.AviFrameTime, 400);
    applyFrameOptions(a, pa, true, *reader);
    for (const FrameRecord& f : a.frames) EXPECT_EQ(f.Time, 400);

    // a placement renders each selected frame again, one progress step each
    struct Percents : ProgressSink {
        std::vector<int> seen;
        void progress(int percent) override { seen.push_back(percent); }
    } percents;
    PendingFrameOptions moved;
    moved.values.left = 5;
    moved.flags.left = true;
    applyFrameOptions(p, moved, false, *reader, percents);
    EXPECT_EQ(percents.seen, (std::vector<int>{33, 66, 100}));
    EXPECT_EQ(p.frames[2].Left, 5);
}

TEST(FrameInfo, Texts)
{
    Project p = project(3);
    p.frames[2].File = "/nowhere/pictures/anim.gif";
    p.frames[2].Frame = 5;
    p.frames[2].Flip = 2;
    p.frames[2].Gray = true;
    const FrameInfo info = frameInfo(p, 2);
    EXPECT_EQ(info.caption, "Info for 3 frame");
    EXPECT_EQ(info.path, "/nowhere/pictures/");
    EXPECT_EQ(info.name, "anim.gif");
    EXPECT_EQ(info.frameInFile, "5");
    EXPECT_FALSE(info.fileFound);
    EXPECT_EQ(info.fileTest, "Not found such file. Apparently it was deleted or removed.");
    EXPECT_EQ(info.flip, "Vertical");
    EXPECT_EQ(info.inverse, "No");
    EXPECT_EQ(info.grey, "Yes");
    EXPECT_STREQ(flipText(9), "Normal");
}
