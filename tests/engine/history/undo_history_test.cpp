#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

#include "engine/edit/canvas_crop.h"
#include "engine/edit/canvas_resize.h"
#include "engine/edit/edit_scope.h"
#include "engine/edit/frame_order.h"
#include "engine/edit/frame_times.h"
#include "engine/edit/repeated_frames.h"
#include "engine/effects/alpha_blend.h"
#include "engine/effects/clone.h"
#include "engine/effects/flip_convert.h"
#include "engine/gif_options/gif_color_options.h"
#include "engine/history/undo_history.h"
#include "engine/project/editing.h"
#include "engine/project/frame_options.h"
#include "engine/project/project_file.h"
#include "engine/project/project_options.h"
#include "engine/project/source_reader.h"
#include "support/picture_files.h"

namespace pelko {
namespace {

using test::TempDir;

// A project of pictures on disk, one of whose sources is missing, as a
// command would find it, with the history that the window keeps beside it.
struct Fixture {
    TempDir dir;
    Project project;
    std::unique_ptr<SourceReader> reader = makeFileSourceReader();
    UndoHistory history;
    std::vector<std::string> pictures;

    explicit Fixture(std::int32_t type)
    {
        for (int i = 0; i < 4; ++i)
            pictures.push_back(
                test::writePng(dir.file("p" + std::to_string(i) + ".png"),
                               test::patternPicture(8 + i, 6 + i, rgb(std::uint8_t(60 * i), 0, 0))));
        ProjectOptions o;
        o.Type = type;
        o.Width = 40;
        o.Height = 30;
        newProject(project, o);
        addFiles(project, pictures, *reader);
        const std::string gone = test::writePng(dir.file("gone.png"), test::patternPicture(5, 5));
        addFiles(project, {gone}, *reader);
        std::filesystem::remove(gone);
        project.log.clear();
    }

    // One command as the window runs it: a snapshot before, a step after
    // when the saved state changed.
    void run(const std::string& name, const std::function<void()>& command)
    {
        const ProjectSnapshot before = ProjectSnapshot::of(project);
        command();
        if (std::optional<ProjectChange> change = ProjectChange::between(before, project))
            history.push(name, std::move(*change), project);
    }

    std::vector<std::uint8_t> saved(const std::string& name)
    {
        const std::string path = dir.file(name);
        Project copy = project;  // saving renames the project
        saveProjectFile(copy, path);
        return readFile(path);
    }
};

// Every undoable command, drawn at random, on the selection drawn before it.
void randomEdit(Fixture& f, std::mt19937& random)
{
    Project& p = f.project;
    auto pick = [&](int n) { return int(random() % unsigned(std::max(n, 1))); };
    const int count = p.frames.count();
    p.selection.clear();
    if (count > 0)
        for (int i = 0, n = 1 + pick(3); i < n; ++i) p.selection.add(pick(count));
    if (count > 1 && pick(2) == 0)
        p.selection.selectOnly(pick(count));

    switch (pick(16)) {
        case 0:
            f.run("Add", [&] { addFiles(p, {f.pictures[std::size_t(pick(4))]}, *f.reader); });
            break;
        case 1:
            f.run("Insert", [&] { insertFiles(p, {f.pictures[std::size_t(pick(4))]}, *f.reader); });
            break;
        case 2:
            f.run("Delete", [&] { deleteSelected(p); });
            break;
        case 3:
            f.run("Up", [&] { moveUp(p); });
            break;
        case 4:
            f.run("Down", [&] { moveDown(p); });
            break;
        case 5:
            f.run("Clone", [&] { cloneSelected(p); });
            break;
        case 6:
            f.run("Flip", [&] { flipSelected(p, pick(4), *f.reader); });
            break;
        case 7:
            f.run("Convert", [&] { convertSelected(p, ConvertMode(pick(3)), *f.reader); });
            break;
        case 8:
            f.run("Refresh", [&] { refreshSelected(p, *f.reader); });
            break;
        case 9: {
            // the GIF/AVI switch overwrites every frame's time
            ProjectOptions o = projectOptionsForDialog(p, false, {});
            o.Type = pick(2) ? ProjectGif : ProjectAvi;
            o.Width = 20 + pick(60);
            o.Stretch = pick(2) == 0;
            o.AviFrameTime = 100 * (1 + pick(9));
            f.run("Project options", [&] { applyProjectOptions(p, o, *f.reader); });
            break;
        }
        case 10: {
            PendingFrameOptions pending;
            pending.values = {100 + 10 * pick(50), pick(20),     pick(20),
                              5 + pick(30),        5 + pick(30), pick(2) == 0};
            pending.flags = {pick(2) == 0, pick(2) == 0, pick(2) == 0,
                             pick(2) == 0, pick(2) == 0, pick(2) == 0};
            f.run("Frame options", [&] { applyFrameOptions(p, pending, pending.flags.any(), *f.reader); });
            break;
        }
        case 11: {
            GifFrameSettings working;
            working.ReductionBit = 3 + pick(6);
            working.GIFTransparent = pick(2) == 0;
            GifOptionTouched touched;
            touched.colors = true;
            touched.transparent = pick(2) == 0;
            f.run("Optimize frame's color", [&] {
                if (p.settings.isGif() && !p.selection.empty())
                    storeGifOptions(p, working, touched);
            });
            break;
        }
        case 12: {
            AlphaBlendSettings blend;
            blend.count = 2 + pick(3);
            f.run("Alpha blending", [&] {
                try {
                    addAlphaBlendFrames(p, blend, f.dir.path().string() + "/", *f.reader);
                } catch (const std::exception&) {
                    // a frame whose source is gone cannot be blended: nothing is added
                }
            });
            break;
        }
        case 13:
        case 14:
        case 15: {
            // the whole-animation tools, on the selection or the whole list
            const std::string work = f.dir.path().string();
            const int tool = pick(11);
            const char* names[] = {"Trim",           "Remove duplicates", "Speed",       "Set time",
                                   "Drop every Nth", "Reverse",           "Yo-yo",       "Crop",
                                   "Resize",         "Select range",      "Delete range"};
            f.run(names[tool], [&] {
                try {
                    switch (tool) {
                        case 0:
                            trimRepeats(p, pick(3) * 40);
                            break;
                        case 1:
                            dedupeRepeats(p, pick(3) * 40);
                            break;
                        case 2:
                            scaleTimes(p, 25 + pick(300));
                            break;
                        case 3:
                            setTimes(p, 20 + pick(900));
                            break;
                        case 4:
                            dropEveryNth(p, 2 + pick(3));
                            break;
                        case 5:
                            reverseFrames(p);
                            break;
                        case 6:
                            yoyoFrames(p);
                            break;
                        case 7: {
                            const int w = p.settings.Width, h = p.settings.Height;
                            const int cw = 5 + pick(std::max(1, w - 4)), ch = 5 + pick(std::max(1, h - 4));
                            cropCanvas(p, {pick(w - cw + 1), pick(h - ch + 1), cw, ch}, work);
                            break;
                        }
                        case 8:
                            resizeAnimation(p, 10 + pick(60), 10 + pick(60), work);
                            break;
                        case 9:
                            selectRange(p, 1 + pick(count), count);
                            break;
                        case 10:
                            selectRange(p, 1 + pick(count), count);
                            deleteSelected(p);
                            break;
                    }
                } catch (const EditError&) {
                    // values the tool refuses (a range of an empty list) change nothing
                }
            });
            break;
        }
    }
    if (pick(8) == 0)
        f.run("Drag", [&] {
            if (!p.selection.empty())
                dropPreviewFrame(p, {pick(30), pick(30)});
        });
}

// Undoing every step of a random run gives the project saved before it,
// byte for byte; redoing them all gives the project saved after it.
TEST(UndoHistory, RandomEditsUndoToTheSavedBytesAndRedoToTheLast)
{
    for (std::int32_t type : {ProjectGif, ProjectAvi})
        for (unsigned seed : {1u, 2u, 3u}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + (type == ProjectGif ? " GIF" : " AVI"));
            Fixture f(type);
            std::mt19937 random(seed);
            const std::vector<std::uint8_t> original = f.saved("before.mcp");
            for (int i = 0; i < 300; ++i) randomEdit(f, random);
            const std::vector<std::uint8_t> edited = f.saved("after.mcp");
            ASSERT_GT(f.history.size(), 100u);

            while (f.history.canUndo()) f.history.undo(f.project);
            EXPECT_EQ(f.saved("undone.mcp"), original);
            EXPECT_FALSE(f.project.changed);
            while (f.history.canRedo()) f.history.redo(f.project);
            EXPECT_EQ(f.saved("redone.mcp"), edited);
            EXPECT_TRUE(f.project.changed);
        }
}

// The saved point: undoing back to it makes the project unchanged; a new
// step from behind it leaves it out of reach.
TEST(UndoHistory, TheSavedPointMakesTheProjectUnchanged)
{
    Fixture f(ProjectGif);
    f.project.selection.selectOnly(0);
    f.run("Clone", [&] { cloneSelected(f.project); });
    f.history.markSaved();
    f.project.changed = false;
    f.run("Delete", [&] { deleteSelected(f.project); });
    EXPECT_TRUE(f.project.changed);
    EXPECT_EQ(f.history.undoName(), "Delete");
    f.history.undo(f.project);
    EXPECT_FALSE(f.project.changed);
    f.history.undo(f.project);
    EXPECT_TRUE(f.project.changed);
    EXPECT_EQ(f.history.redoName(), "Clone");
    f.history.redo(f.project);
    EXPECT_FALSE(f.project.changed);

    f.history.undo(f.project);  // behind the saved point, then a new step
    f.project.selection.selectOnly(1);
    f.run("Flip", [&] { flipSelected(f.project, 1, *f.reader); });
    f.history.undo(f.project);
    EXPECT_TRUE(f.project.changed);  // the saved state is gone from the history
    EXPECT_FALSE(f.history.canRedo() && f.history.redoName() != "Flip");
}

// A change of the selection alone is no step, and an undo shows the frames
// the step touched: the selection they had before it.
TEST(UndoHistory, SelectionAloneIsNoStepAndUndoSelectsWhatWasTouched)
{
    Fixture f(ProjectGif);
    f.run("Select All", [&] { selectAll(f.project); });
    EXPECT_EQ(f.history.size(), 0u);
    f.project.selection.assign({1, 3});
    f.run("Delete", [&] { deleteSelected(f.project); });
    ASSERT_EQ(f.history.size(), 1u);
    EXPECT_EQ(f.project.frames.count(), 3);
    f.history.undo(f.project);
    EXPECT_EQ(f.project.frames.count(), 5);
    EXPECT_EQ(f.project.selection.indices(), (std::vector<int>{1, 3}));
}

// Past the budget the oldest steps go and the log says so once; the newest
// steps can still be undone.
TEST(UndoHistory, ABudgetDropsTheOldestStepsAndKeepsTheNewest)
{
    Fixture f(ProjectGif);
    f.history.setBudget(4096);
    for (int i = 0; i < 40; ++i) {
        f.project.selection.selectOnly(0);
        f.run("Clone " + std::to_string(i), [&] { cloneSelected(f.project); });
    }
    EXPECT_LE(f.history.bytes(), 4096u);
    EXPECT_LT(f.history.size(), 40u);
    EXPECT_GE(f.history.size(), 2u);
    EXPECT_EQ(f.history.undoName(), "Clone 39");
    EXPECT_EQ(f.project.log.lines().size(), 1u);
    const int frames = f.project.frames.count();
    const std::size_t kept = f.history.size();
    while (f.history.canUndo()) f.history.undo(f.project);
    EXPECT_EQ(f.project.frames.count(), frames - int(kept));
    EXPECT_TRUE(f.project.changed);  // the state it was opened in is out of reach
}

// Removed frames come back as their records, so the frame cache gives their
// pictures back without rendering them again.
TEST(UndoHistory, ADeleteOfManyFramesKeepsOnlyTheirRecords)
{
    Fixture f(ProjectGif);
    for (int i = 0; i < 7; ++i) {
        selectAll(f.project);
        cloneSelected(f.project);
    }
    ASSERT_GE(f.project.frames.count(), 500);
    selectAll(f.project);
    f.run("Delete", [&] { deleteSelected(f.project); });
    EXPECT_LT(f.history.bytes(), std::size_t(f.project.frames.count() + 700) * 512);
    EXPECT_EQ(f.project.frames.count(), 0);
    f.history.undo(f.project);
    EXPECT_EQ(f.project.frames.count(), 5 << 7);
}

}  // namespace
}  // namespace pelko
