// Creeping-line text frames: the string lists and heights of the four
// directions, the rendered frames, the dialog's value rules, and the GIF put
// into the list after or at the end of the frames.

#include <gtest/gtest.h>

#include "engine/effects/creeping_line.h"
#include "engine/project/frame_cache.h"
#include "gif_file_check.h"
#include "support/given_pictures.h"
#include "support/temp_dir.h"

using namespace pelko;

namespace {

// A font of blocks: every character 6 x 10 pixels, a space blank, any other
// character a solid block in the font's colour.
struct BlockDrawer : TextDrawer {
    static constexpr int kWidth = 6, kHeight = 10;
    static int length(const std::string& text)
    {
        int n = 0;
        for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return n;
    }
    int textWidth(const std::string& text, const TextFont&) override { return kWidth * length(text); }
    int textHeight(const std::string&, const TextFont&) override { return kHeight; }
    void drawText(Picture& p, int x, int y, const std::string& text, const TextFont& font) override
    {
        int i = 0;
        for (std::size_t b = 0; b < text.size(); ++b) {
            if ((static_cast<unsigned char>(text[b]) & 0xC0) == 0x80)
                continue;
            if (text[b] != ' ')
                for (int dy = 0; dy < kHeight; ++dy)
                    for (int dx = 0; dx < kWidth; ++dx) {
                        const int px = x + i * kWidth + dx, py = y + dy;
                        if (px >= 0 && py >= 0 && px < p.width() && py < p.height())
                            p.setPixel(px, py, font.color);
                    }
            ++i;
        }
    }
};

using Strings = std::vector<std::string>;

// Columns of picture row y that are not the background, as text: "3-20"
std::string inkRuns(const Picture& p, int y, Color background)
{
    std::string runs;
    for (int x = 0; x < p.width();) {
        if (p.pixel(x, y) == background) {
            ++x;
            continue;
        }
        const int from = x;
        while (x < p.width() && p.pixel(x, y) != background) ++x;
        runs += (runs.empty() ? "" : " ") + std::to_string(from) + "-" + std::to_string(x - 1);
    }
    return runs;
}

}  // namespace

TEST(CreepingLine, LeftToRightStrings)
{
    const std::pair<std::pair<std::string, int>, Strings> cases[] = {
        {{"ABC", 5}, {"C", "BC", "ABC", " ABC", "  ABC"}},
        {{"ABC", 1}, {"C"}},
        {{"", 3}, {" ", "  ", "   "}},
        {{"\xC3\xA4"
          "b",
          3},
         {"b",
          "\xC3\xA4"
          "b",
          " \xC3\xA4"
          "b"}},  // "äb": whole characters
        {{"ABC", 0}, {}},
    };
    for (const auto& [in, strings] : cases)
        EXPECT_EQ(leftToRightStrings(in.first, in.second), strings) << in.first;
}

TEST(CreepingLine, RightToLeftStrings)
{
    BlockDrawer drawer;
    const TextFont font;
    // 30 pixels of room: five spaces; a leading space goes two at a time
    EXPECT_EQ(rightToLeftStrings("ABC", 5, 30, font, drawer), (Strings{"   A", " AB", "BC", "C  ", "    "}));
    // 31 pixels need a sixth space
    EXPECT_EQ(rightToLeftStrings("AB", 3, 31, font, drawer), (Strings{"    A", "  AB", "AB  "}));
    // no room at all still starts with one space
    EXPECT_EQ(rightToLeftStrings("AB", 2, 0, font, drawer), (Strings{"A", "B"}));
    EXPECT_EQ(rightToLeftStrings("", 2, 12, font, drawer), (Strings{"  ", "  "}));
}

TEST(CreepingLine, VerticalPositions)
{
    EXPECT_EQ(verticalPositions(CreepDirection::TopToBottom, 5, 10, 25),
              (std::vector<int>{0, 10, 20, 0, 10}));
    EXPECT_EQ(verticalPositions(CreepDirection::TopToBottom, 4, 10, 20), (std::vector<int>{0, 10, 20, 0}));
    EXPECT_EQ(verticalPositions(CreepDirection::BottomToTop, 5, 10, 25),
              (std::vector<int>{25, 15, 5, 25, 15}));
    EXPECT_EQ(verticalPositions(CreepDirection::BottomToTop, 4, 10, 20), (std::vector<int>{20, 10, 0, 20}));
}

TEST(CreepingLine, RenderedFrames)
{
    BlockDrawer drawer;
    CreepingLineSettings s;
    s.text = "ABC";
    s.width = 40;
    s.height = 20;
    s.startLeft = 3;
    s.startTop = 2;
    s.background = rgb(0, 0, 255);
    const CreepingLinePlan plan = planCreepingLine(s, drawer, s.height);
    // C, BC, ABC, " ABC", "  ABC", each from the start position
    const char* rows[] = {"3-8", "3-14", "3-20", "9-26", "15-32"};
    for (int k = 0; k < 5; ++k) {
        const Picture frame = creepingLineFrame(s, plan, k, drawer);
        ASSERT_EQ(std::make_pair(frame.width(), frame.height()), std::make_pair(40, 20));
        EXPECT_EQ(inkRuns(frame, 2, s.background), rows[k]) << k;
        EXPECT_EQ(inkRuns(frame, 11, s.background), rows[k]) << k;
        EXPECT_EQ(inkRuns(frame, 1, s.background) + inkRuns(frame, 12, s.background), "") << k;
    }

    // bottom to top starts below the area: the first frame is plain background
    s = withDirection(s, CreepDirection::BottomToTop);
    EXPECT_EQ(s.startTop, 20);
    const CreepingLinePlan up = planCreepingLine(s, drawer, s.height);
    Picture blank(40, 20);
    blank.fill(s.background);
    EXPECT_EQ(creepingLineFrame(s, up, 0, drawer), blank);
    EXPECT_EQ(inkRuns(creepingLineFrame(s, up, 1, drawer), 10, s.background), "0-17");

    // an empty text: spaces only, every frame plain background
    s = withDirection(s, CreepDirection::LeftToRight);
    s.text.clear();
    const CreepingLinePlan empty = planCreepingLine(s, drawer, s.height);
    for (int k = 0; k < s.count; ++k) EXPECT_EQ(creepingLineFrame(s, empty, k, drawer), blank) << k;
}

TEST(CreepingLine, DialogRules)
{
    ProjectSettings canvas;
    canvas.Width = 200;
    canvas.Height = 100;
    CreepingLineSettings stored = defaultCreepingLine(canvas);
    EXPECT_EQ(std::make_pair(stored.width, stored.height), std::make_pair(200, 100));
    stored.startLeft = 5;
    stored.frameTop = 7;
    stored.width = 50;
    stored.height = 50;

    CreepingLineSettings typed = stored;
    typed.startLeft = -1;  // a negative place or a size of 0 keeps the stored value
    typed.frameTop = -3;
    typed.width = 0;
    typed.count = 0;        // 4
    typed.duration = 19;    // 300
    typed.frameLeft = 180;  // the area stays on the canvas
    CreepingLineSettings checked = checkedCreepingLine(typed, stored, canvas);
    EXPECT_EQ(checked.startLeft, 5);
    EXPECT_EQ(checked.frameTop, 7);
    EXPECT_EQ(checked.width, 50);
    EXPECT_EQ(checked.count, 4);
    EXPECT_EQ(checked.duration, 300);
    EXPECT_EQ(checked.frameLeft, 150);
    typed = stored;
    typed.width = 500;
    typed.startLeft = 60;
    checked = checkedCreepingLine(typed, stored, canvas);
    EXPECT_EQ(checked.width, 200);
    EXPECT_EQ(checked.startLeft, 60);

    // directions preset the start; "by default" keeps font and colour
    EXPECT_EQ(withDirection(stored, CreepDirection::RightToLeft).startTop, 25);
    EXPECT_EQ(withDirection(stored, CreepDirection::TopToBottom).startTop, 0);
    EXPECT_EQ(withDirection(stored, CreepDirection::BottomToTop).startTop, 50);
    EXPECT_EQ(withDirection(stored, CreepDirection::BottomToTop).startLeft, 0);
    stored.font.size = 30;
    stored.background = 0x123456;
    stored.text = "other";
    const CreepingLineSettings reset = resetCreepingLine(stored, canvas);
    CreepingLineSettings expected = defaultCreepingLine(canvas);
    expected.font = stored.font;
    expected.background = stored.background;
    EXPECT_EQ(reset, expected);
}

namespace {

// Three 40 x 30 frames of one colour in a GIF project.
Project threeFrames(bool stretch = false)
{
    Project p;
    p.settings.Width = 40;
    p.settings.Height = 30;
    p.settings.Type = ProjectGif;
    p.settings.Stretch = stretch;
    for (int i = 0; i < 3; ++i) {
        FrameRecord f;
        f.Width = 40;
        f.Height = 30;
        f.Time = 500;
        f.Stretch = stretch;
        Picture picture(40, 30);
        picture.fill(Color(0x102030 * (i + 1)));
        test::givePicture(f, picture);
        p.frames.append(std::move(f));
    }
    return test::withGivenPictures(std::move(p));
}

CreepingLineSettings area(int left, int top, int width, int height)
{
    CreepingLineSettings s;
    s.text = "Hi";
    s.frameLeft = left;
    s.frameTop = top;
    s.width = width;
    s.height = height;
    s.count = 4;
    s.duration = 250;
    return s;
}

}  // namespace

TEST(CreepingLine, AppendedAfterTheLastFrame)
{
    test::TempDir work;
    BlockDrawer drawer;
    const auto reader = makeFileSourceReader();
    Project p = threeFrames();
    p.selection.selectOnly(2);
    const GeneratedFrames made =
        addCreepingLineFrames(p, area(15, 12, 20, 10), work.path().string(), drawer, *reader);
    EXPECT_EQ(made.path, work.file("Hi.gif"));
    EXPECT_EQ(made.inserted, 4);
    ASSERT_EQ(p.frames.count(), 7);
    for (int k = 0; k < 4; ++k) {
        const FrameRecord& f = p.frames[std::size_t(3 + k)];
        EXPECT_EQ(f.File, made.path);
        EXPECT_EQ(f.Frame, k);
        EXPECT_EQ(std::tie(f.Left, f.Top, f.Width, f.Height), std::make_tuple(15, 12, 20, 10));
        EXPECT_EQ(f.Time, 250);
        EXPECT_EQ(f.Gif.ReductionBit, 3);
        EXPECT_FALSE(f.Gif.GIFTransparent);
    }
    EXPECT_EQ(p.selection.indices(), std::vector<int>{6});
    EXPECT_TRUE(p.changed);

    const test::CheckedGif gif = test::readWithGiflib(made.path);
    if (test::kHaveGiflib) {
        ASSERT_TRUE(gif.ok);
        ASSERT_EQ(gif.frames.size(), 4u);
        EXPECT_TRUE(gif.loops);
        EXPECT_GT(gif.globalColors, 0);
        EXPECT_LE(gif.globalColors, 8) << "3 reduction bits";
        for (const test::CheckedGifFrame& f : gif.frames) {
            EXPECT_FALSE(f.localMap) << "one merged colour map";
            EXPECT_EQ(std::tie(f.width, f.height, f.delay), std::make_tuple(20, 10, 25));
            EXPECT_FALSE(f.transparent);
        }
        // "i", then "Hi" (red on white) from the area's top-left corner
        EXPECT_EQ(gif.frames[1].pixels[0], rgb(255, 0, 0));
        EXPECT_EQ(gif.frames[1].pixels[11], rgb(255, 0, 0));
        EXPECT_EQ(gif.frames[1].pixels[12], rgb(255, 255, 255));
    }

    // the same text again: the next free name
    p.selection.selectOnly(0);
    EXPECT_EQ(addCreepingLineFrames(p, area(15, 12, 20, 10), work.path().string(), drawer, *reader).path,
              work.file("Hi1.gif"));
}

TEST(CreepingLine, InsertedAfterTheAnchorOnTheCanvas)
{
    struct Case {
        bool stretch;
        CreepingLineSettings settings;
        std::tuple<int, int, int, int> placement;
    };
    const Case cases[] = {
        {false, area(15, 12, 20, 10), {15, 12, 20, 10}},
        {false, area(40, 30, 60, 50), {0, 0, 40, 30}},  // left and top past the canvas, sizes cut
        {true, area(15, 12, 20, 10), {0, 0, 40, 30}},   // a stretching project: the whole canvas
    };
    for (const Case& c : cases) {
        test::TempDir work;
        BlockDrawer drawer;
        const auto reader = makeFileSourceReader();
        Project p = threeFrames(c.stretch);
        const std::string third = p.frames[2].File;
        p.selection.assign({0, 2});
        addCreepingLineFrames(p, c.settings, work.path().string(), drawer, *reader);
        ASSERT_EQ(p.frames.count(), 7);
        for (int k = 0; k < 4; ++k) {
            const FrameRecord& f = p.frames[std::size_t(1 + k)];
            EXPECT_EQ(std::tie(f.Left, f.Top, f.Width, f.Height), c.placement) << k;
            EXPECT_EQ(f.Stretch, c.stretch);
            EXPECT_EQ(f.Gif.ReductionBit, 3);
        }
        EXPECT_EQ(p.frames[6].File, third);
        EXPECT_EQ(p.selection.indices(), std::vector<int>{1});
    }
}

TEST(CreepingLine, NamesTheFileAfterTheText)
{
    test::TempDir work;
    BlockDrawer drawer;
    const auto reader = makeFileSourceReader();
    for (const auto& [text, name] :
         {std::pair<std::string, std::string>{"a/b", "a_b.gif"}, {"", "text.gif"}}) {
        Project p = threeFrames();
        p.selection.selectOnly(1);
        CreepingLineSettings s = area(0, 0, 40, 30);
        s.text = text;
        EXPECT_EQ(addCreepingLineFrames(p, s, work.path().string(), drawer, *reader).path, work.file(name));
    }
}
