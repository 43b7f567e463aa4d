// Trim and de-duplicate: which frames go, where their time goes, and that
// the animation shows the same pictures at the same moments.

#include <gtest/gtest.h>

#include <random>

#include "edit_fixtures.h"
#include "engine/edit/frame_likeness.h"
#include "engine/edit/repeated_frames.h"

using namespace pelko;
using test::lettersOf;
using test::lettersProject;
using test::TempDir;

namespace {

struct Case {
    const char* name;
    const char* frames;
    int tolerance;
    std::vector<int> selection;
    const char* after;
};

}  // namespace

TEST(Dedupe, Table)
{
    const Case cases[] = {
        {"runs merge into their first frame", "A/100 A/100 B/200 B/50 A/100", 0, {}, "A/200 B/250 A/100"},
        {"one pixel off stays at tolerance 0", "A/100 A3/100 B/100", 0, {}, "A/100 A3/100 B/100"},
        {"and merges within the tolerance", "A/100 A3/100 B/100", 5, {}, "A/200 B/100"},
        {"held against the run's first frame, not its neighbour",
         "A/100 A4/100 A8/100 A8/100",
         5,
         {},
         "A/200 A8/200"},
        {"a sum past the longest time splits", "A/30000 A/30000 B/100", 0, {}, "A/32000 A/28000 B/100"},
        {"only the selected frames", "A/100 A/100 A/100 A/100", 0, {1, 2}, "A/100 A/200 A/100"},
        {"one selected frame means the whole list", "A/100 A/100 A/100", 0, {2}, "A/300"},
        {"not across a frame left out of the selection", "A/100 A/100 A/100", 0, {0, 2}, "A/100 A/100 A/100"},
        {"nothing to merge", "A/100 B/100 A/100", 0, {}, "A/100 B/100 A/100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Project p = lettersProject(dir, c.frames);
        p.selection.assign(c.selection);
        const std::string before = lettersOf(p);
        const EditToolResult r = dedupeRepeats(p, c.tolerance);
        EXPECT_EQ(lettersOf(p), c.after);
        EXPECT_EQ(p.changed, before != c.after);
        EXPECT_TRUE(r.note.empty());
    }
}

TEST(Trim, Table)
{
    const Case cases[] = {
        {"both ends", "A/100 A/100 B/100 C/100 C/100 C/100", 0, {}, "A/200 B/100 C/300"},
        {"repeats inside stay", "A/100 B/100 B/100 C/100", 0, {}, "A/100 B/100 B/100 C/100"},
        {"all the same", "A/100 A/100 A/100", 0, {}, "A/300"},
        {"within the tolerance", "A/100 A3/100 B/100 B2/100", 5, {}, "A3/200 B/200"},
        {"the selection's ends", "A/100 A/100 A/100 B/100 B/100", 0, {1, 2, 3}, "A/100 A/200 B/100 B/100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        Project p = lettersProject(dir, c.frames);
        p.selection.assign(c.selection);
        trimRepeats(p, c.tolerance);
        EXPECT_EQ(lettersOf(p), c.after);
    }
}

// In an AVI every frame lasts the AVI frame time: repeats are dropped, the
// animation gets shorter, and the note says by how much.
TEST(Dedupe, AviProjectDropsFramesWithANote)
{
    TempDir dir;
    Project p = lettersProject(dir, "A/1000 A/1000 B/1000 B/1000 B/1000", ProjectAvi);
    const EditToolResult dedupe = dedupeRepeats(p, 0);
    EXPECT_EQ(lettersOf(p), "A/1000 B/1000");
    EXPECT_EQ(dedupe.removed, 3);
    EXPECT_NE(dedupe.note.find("3000 msec shorter"), std::string::npos) << dedupe.note;

    Project q = lettersProject(dir, "A/1000 A/1000 B/1000", ProjectAvi);
    EXPECT_NE(trimRepeats(q, 0).note.find("1000 msec shorter"), std::string::npos);
    EXPECT_EQ(lettersOf(q), "A/1000 B/1000");
}

// Frames that differ only in where they are, how they are mirrored or what
// surrounds them in the GIF are not the same frame.
TEST(Dedupe, PlacementEffectsAndDisposalCount)
{
    TempDir dir;
    auto pair = [&](auto change) {
        Project p = lettersProject(dir, "A/100 A/100");
        change(p.frames[1]);
        dedupeRepeats(p, 0);
        return p.frames.count();
    };
    EXPECT_EQ(pair([](FrameRecord&) {}), 1);
    EXPECT_EQ(pair([](FrameRecord& f) { f.Left = 1; }), 2);
    EXPECT_EQ(pair([](FrameRecord& f) { f.Flip = FlipHorizontal; }), 1);  // a plain colour mirrors to itself
    EXPECT_EQ(pair([](FrameRecord& f) { f.Inverse = true; }), 2);
    EXPECT_EQ(pair([](FrameRecord& f) { f.Gif.ReductionBit = 4; }), 2);
    // a transparent first frame disposed to the background lets the screen
    // under it through before the second is drawn
    Project p = lettersProject(dir, "A/100 A/100");
    for (FrameRecord& f : p.frames) f.Gif.GIFTransparent = true, f.Gif.DisposalMethod = 2;
    dedupeRepeats(p, 0);
    EXPECT_EQ(p.frames.count(), 2);
}

// Seeded random animations of repeated and near-repeated pictures: at
// tolerance 0 trim and de-duplicate keep every moment's picture; with a
// tolerance above the near-repeats' offsets each run of one picture becomes
// one frame, and no other frames merge.
TEST(Dedupe, RandomAnimationsKeepTheirTimeline)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        std::string text;
        int runs = 0;
        char last = 0;
        for (int i = 0; i < 40; ++i) {
            const char letter = random() % 3 == 0 ? char('A' + random() % 4) : (last ? last : 'A');
            const int offset = random() % 4 == 0 ? int(random() % 4) : 0;
            runs += letter != last;
            last = letter;
            text += std::string(1, letter) + (offset ? std::to_string(offset) : "") + "/" +
                    std::to_string(10 * (1 + random() % 30)) + " ";
        }
        TempDir dir;
        Project p = lettersProject(dir, text);
        const auto before = test::timeline(p);
        std::vector<int> all(std::size_t(p.frames.count()));
        for (std::size_t i = 0; i < all.size(); ++i) all[i] = int(i);
        EXPECT_EQ(findRepeatRuns(p, all, 5, noProgress(), 1).runStart,
                  findRepeatRuns(p, all, 5, noProgress(), 3).runStart);
        Project exact = p;
        trimRepeats(exact, 0);
        dedupeRepeats(exact, 0);
        EXPECT_TRUE(test::sameTimeline(test::timeline(exact), before));
        EXPECT_LT(exact.frames.count(), p.frames.count());

        Project loose = p;
        dedupeRepeats(loose, 5);
        EXPECT_EQ(loose.frames.count(), runs);
        EXPECT_EQ(loose.totalTime(), p.totalTime());
    }
}
