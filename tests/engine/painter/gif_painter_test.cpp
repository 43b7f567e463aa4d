#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/gif/gif_extensions.h"
#include "engine/gif/gif_image.h"
#include "engine/gif/gif_settings.h"
#include "engine/gif/gif_test_util.h"
#include "engine/gif/optimize.h"
#include "engine/painter/gif_frame_draw.h"
#include "engine/painter/gif_painter.h"
#include "support/fake_painter_clock.h"

namespace pelko {
namespace {

using test::addFrame;
using test::addGce;
using test::FakePainterClock;
using Millis = PainterClock::Millis;

// The global colours, one letter each in the pictures' rows.
const std::vector<Color> kColours = {rgb(255, 0, 0),   rgb(0, 255, 0),     rgb(0, 0, 255),
                                     rgb(255, 255, 0), rgb(255, 255, 255), rgb(255, 0, 255)};
const std::string kLetters = "RGBYWM";
enum : std::uint8_t { R, G, B, Y, W, M };
constexpr std::uint8_t T = Y;  // the transparent index of transparent frames

std::string row(const Picture& p, int y)
{
    std::string s;
    for (int x = 0; x < p.width(); ++x) {
        auto it = std::find(kColours.begin(), kColours.end(), p.pixel(x, y));
        s += it == kColours.end() ? '?' : kLetters[std::size_t(it - kColours.begin())];
    }
    return s;
}

Picture pictureOf(const std::string& letters)
{
    Picture p(int(letters.size()), 1);
    for (std::size_t x = 0; x < letters.size(); ++x)
        p.setPixel(int(x), 0, kColours[kLetters.find(letters[x])]);
    return p;
}

// Records what the painter shows, with the clock's time.
class Recording : public GifCanvas {
public:
    explicit Recording(std::shared_ptr<PainterClock> clock) : clock_(std::move(clock)) {}

    struct Shot {
        Millis time;
        std::shared_ptr<const Picture> picture;
    };

    void paintFrame(std::shared_ptr<const Picture> picture, const TGIFRect&) override
    {
        if (fail)
            throw std::runtime_error("canvas gone");
        const Millis now = clock_->now();
        std::lock_guard<std::mutex> guard(m_);
        if (keep)
            shots_.push_back({now, std::move(picture)});
    }
    Picture backdrop(const TGIFRect&) override { return behind; }
    bool valid() const override { return isValid; }

    std::vector<Shot> shots() const
    {
        std::lock_guard<std::mutex> guard(m_);
        return shots_;
    }
    std::size_t count() const { return shots().size(); }
    std::vector<std::string> rows() const
    {
        std::vector<std::string> r;
        for (const Shot& s : shots()) r.push_back(row(*s.picture, 0));
        return r;
    }

    Picture behind;
    std::atomic<bool> fail{false};
    std::atomic<bool> isValid{true};
    std::atomic<bool> keep{true};

private:
    std::shared_ptr<PainterClock> clock_;
    mutable std::mutex m_;
    std::vector<Shot> shots_;
};

struct FrameSpec {
    int left, width;
    std::vector<std::uint8_t> pixels;
    TDisposalMethod disposal = dmNone;
    bool transparent = false;
    int delay = 1;
};

// A one-row animation over the global colours, its draw background M.
std::unique_ptr<TGIFImage> makeImage(int width, const std::vector<FrameSpec>& frames, int loopFrame = -1,
                                     int loops = 0)
{
    auto image = std::make_unique<TGIFImage>();
    image->GetColorMap().ImportPalette(kColours);
    image->SetDrawBackgroundColor(kColours[M]);
    image->SetWidth(width);
    image->SetHeight(1);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const FrameSpec& f = frames[i];
        TGIFSubImage& frame = addFrame(*image, f.left, 0, f.width, 1, f.pixels);
        if (int(i) == loopFrame) {
            auto ext = std::make_unique<TGIFAppExtNSLoop>(&frame);
            ext->SetLoops(loops);
            frame.Extensions().Add(std::move(ext));
        }
        addGce(frame, f.delay, f.disposal, f.transparent ? T : -1);
    }
    return image;
}

// Three one-pixel frames R, G, B with the given delay.
std::unique_ptr<TGIFImage> threeFrames(int loopFrame = -1, int loops = 0, int delay = 1)
{
    return makeImage(1,
                     {{0, 1, {R}, dmNone, false, delay},
                      {0, 1, {G}, dmNone, false, delay},
                      {0, 1, {B}, dmNone, false, delay}},
                     loopFrame, loops);
}

// The frames painted, as the letters of their first pixel.
std::string sequence(const Recording& canvas)
{
    std::string s;
    for (const auto& r : canvas.rows()) s += r[0];
    return s;
}

GifPaintSetup withClock(std::shared_ptr<PainterClock> clock)
{
    GifPaintSetup setup;
    setup.clock = std::move(clock);
    return setup;
}

// Plays an animation to its end on an automatic clock, in a thread or not.
std::shared_ptr<Recording> playThrough(TGIFImage& image, TGIFDrawOptions options, TGIFRect rect = {},
                                       GifPaintSetup setup = {}, const Picture& behind = {})
{
    auto clock = std::make_shared<FakePainterClock>(true);
    auto canvas = std::make_shared<Recording>(clock);
    canvas->behind = behind;
    if (rect == TGIFRect{})
        rect = {0, 0, image.GetWidth(), image.GetHeight()};
    setup.clock = clock;
    if (auto painter = Paint(image, canvas, rect, options, std::move(setup))) {
        EXPECT_TRUE(painter->WaitFor());
    }
    EXPECT_TRUE(GetPainters(image).empty());
    return canvas;
}

// ---- timing ---------------------------------------------------------------

TEST(GifPainter, FrameDelaysFollowTheMinimumMaximumAndSpeed)
{
    struct Case {
        int delay, speed;
        bool async;
        Millis first, gap;  // the first frame after the start; the first frame's time
    };
    const Case cases[] = {
        {1, 100, false, 12, 36},        // raised to the minimum of 3 units of 12 ms
        {0, 100, false, 12, 120},       // no delay: the default of 10
        {7, 100, true, 0, 84},          // a thread paints its first frame at once
        {7, 200, false, 6, 42},         // twice the speed, half the time
        {7, 50, true, 0, 168},          //
        {5, 1000, false, 1, 6},         // 1.2 ms rounds to 1
        {2000, 100, false, 12, 12000},  // lowered to the maximum without a thread
        {2000, 100, true, 0, 24000},    // kept in a thread
        {7, 0, false, 12000, 12000},    // speed 0 without a thread: the longest wait
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "delay " << c.delay << " speed " << c.speed << " async " << c.async);
        auto image = makeImage(1, {{0, 1, {R}, dmNone, false, c.delay}, {0, 1, {G}, dmNone, false, 0}});
        image->SetAnimationSpeed(c.speed);
        TGIFDrawOptions options{goAnimate};
        if (c.async)
            options.Include(goAsync);
        auto canvas = playThrough(*image, options);
        auto shots = canvas->shots();
        ASSERT_EQ(shots.size(), 2u);
        EXPECT_EQ(shots[0].time - 1000, c.first);
        EXPECT_EQ(shots[1].time - shots[0].time, c.gap);
    }
}

// A canvas that takes time to paint.
class SlowCanvas : public Recording {
public:
    SlowCanvas(std::shared_ptr<FakePainterClock> clock) : Recording(clock), clock_(std::move(clock)) {}
    void paintFrame(std::shared_ptr<const Picture> picture, const TGIFRect& rect) override
    {
        Recording::paintFrame(std::move(picture), rect);
        clock_->advance(20);
    }

private:
    std::shared_ptr<FakePainterClock> clock_;
};

TEST(GifPainter, HalfOfTheTimeLostToPaintingIsMadeUp)
{
    auto image = makeImage(
        1, {{0, 1, {R}, dmNone, false, 10}, {0, 1, {G}, dmNone, false, 10}, {0, 1, {B}, dmNone, false, 10}});
    auto clock = std::make_shared<FakePainterClock>(true);
    auto canvas = std::make_shared<SlowCanvas>(clock);
    Paint(*image, canvas, {0, 0, 1, 1}, {goAnimate}, withClock(clock));
    auto shots = canvas->shots();
    ASSERT_EQ(shots.size(), 3u);
    // 120 ms between frames; each painting takes 20, of which 10 are made up.
    EXPECT_EQ(shots[1].time - shots[0].time, 130);
    EXPECT_EQ(shots[2].time - shots[1].time, 130);
}

TEST(GifPainter, AtSpeedZeroAThreadShowsItsFrameUntilWoken)
{
    auto image = threeFrames(0, 0, 10);
    image->SetAnimationSpeed(0);
    auto clock = std::make_shared<FakePainterClock>();
    auto canvas = std::make_shared<Recording>(clock);
    auto painter = Paint(*image, canvas, {0, 0, 1, 1}, {goAsync, goAnimate, goLoop}, withClock(clock));
    ASSERT_TRUE(painter && painter->HasWakeEvent());
    ASSERT_TRUE(clock->waitForSleepers(1));
    EXPECT_EQ(clock->nextDeadline(), PainterClock::kForever);
    clock->advance(1000000);
    ASSERT_TRUE(clock->waitForSleepers(1));
    EXPECT_EQ(sequence(*canvas), "R");

    const std::size_t sleeps = clock->sleeps();
    painter->SetAnimationSpeed(100);  // wakes it: the next frame comes at once
    ASSERT_TRUE(clock->waitForSleepers(1, sleeps));
    EXPECT_EQ(sequence(*canvas), "RG");
    EXPECT_EQ(canvas->shots()[1].time, clock->now());
    EXPECT_EQ(clock->nextDeadline(), clock->now() + 120);
    PaintStop(*image);
}

// ---- composition ------------------------------------------------------------

TEST(GifPainter, DisposalTransparencyAndPlacementGiveTheRightPixels)
{
    struct Case {
        const char* name;
        int width;
        std::vector<FrameSpec> frames;
        std::vector<std::string> expected;  // row 0 of every picture shown
        TGIFDrawOptions extra = {};
        std::string behind = {};
        TGIFRect rect = {};
        int loops = -1;  // a loop extension on frame 0 with this count
    };
    const std::vector<Case> cases = {
        {"no disposal keeps every frame",
         4,
         {{0, 4, {R, R, R, R}}, {1, 1, {G}}, {2, 1, {B}}},
         {"RRRR", "RGRR", "RGBR"}},
        {"background clears the frame's area to the background colour",
         4,
         {{0, 4, {R, R, R, R}}, {1, 1, {G}, dmBackground}, {2, 1, {B}}},
         {"RRRR", "RGRR", "RMBR"}},
        {"previous after none restores the picture before the frame",
         4,
         {{0, 4, {R, R, R, R}}, {1, 1, {G}, dmPrevious}, {2, 1, {B}}},
         {"RRRR", "RGRR", "RRBR"}},
        {"previous after previous",
         4,
         {{0, 4, {R, R, R, R}}, {1, 1, {G}, dmPrevious}, {2, 1, {B}, dmPrevious}, {3, 1, {Y}}},
         {"RRRR", "RGRR", "RRBR", "RRRY"}},
        {"previous after background",
         4,
         {{0, 4, {R, R, R, R}, dmBackground}, {1, 1, {G}, dmPrevious}, {2, 1, {B}}},
         {"RRRR", "MGMM", "MMBM"}},
        {"transparent pixels leave what is behind",
         4,
         {{0, 4, {R, R, R, R}}, {0, 4, {G, T, T, B}, dmNone, true}},
         {"RRRR", "GRRB"},
         {goTransparent}},
        {"without goTransparent the transparent index is drawn",
         4,
         {{0, 4, {R, R, R, R}}, {0, 4, {G, T, T, B}, dmNone, true}},
         {"RRRR", "GYYB"}},
        {"with goTransparent the background is what lay behind",
         4,
         {{0, 4, {R, R, R, R}, dmBackground}, {1, 1, {G}}},
         {"RRRR", "WGBB"},
         {goTransparent},
         "WWBB"},
        {"a first frame of transparent pixels shows what lay behind",
         4,
         {{0, 4, {T, G, T, T}, dmNone, true}},
         {"WGBB"},
         {goTransparent},
         "WWBB"},
        {"without goTransparent the background is the colour",
         4,
         {{0, 4, {R, R, R, R}, dmBackground}, {1, 1, {G}}},
         {"RRRR", "MGMM"},
         {},
         "WWBB"},
        {"goClearOnLoop restores frame 0's area before each pass",
         4,
         {{0, 2, {G, T}, dmNone, true}, {1, 1, {B}}},
         {"GMMM", "GBMM", "GMMM", "GBMM"},
         {goTransparent, goClearOnLoop, goLoop},
         {},
         {},
         2},
        {"without goClearOnLoop the next pass draws over the last",
         4,
         {{0, 2, {G, T}, dmNone, true}, {1, 1, {B}}},
         {"GMMM", "GBMM", "GBMM", "GBMM"},
         {goTransparent, goLoop},
         {},
         {},
         2},
        {"frames are stretched to the target", 2, {{0, 2, {R, G}}}, {"RRGG"}, {}, {}, {0, 0, 4, 2}},
        {"scaled edges round to the nearest pixel", 2, {{1, 1, {G}}}, {"MMG"}, {}, {}, {0, 0, 3, 1}},
        {"goTile repeats the screen from the target's corner",
         2,
         {{1, 1, {G}}},
         {"MGMGM"},
         {goTile},
         {},
         {0, 0, 5, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto image = makeImage(c.width, c.frames, c.loops >= 0 ? 0 : -1, c.loops);
        TGIFDrawOptions options = c.extra;
        options.Include(goAnimate);
        auto canvas =
            playThrough(*image, options, c.rect, {}, c.behind.empty() ? Picture() : pictureOf(c.behind));
        EXPECT_EQ(canvas->rows(), c.expected);
        for (const auto& shot : canvas->shots()) {
            const TGIFRect r = c.rect == TGIFRect{} ? TGIFRect{0, 0, c.width, 1} : c.rect;
            EXPECT_EQ(shot.picture->width(), r.Right - r.Left);
            EXPECT_EQ(shot.picture->height(), r.Bottom - r.Top);
            EXPECT_EQ(row(*shot.picture, shot.picture->height() - 1), row(*shot.picture, 0));
        }
    }
}

TEST(GifPainter, AStillImageIsDrawnOnceWithoutAThread)
{
    auto image = makeImage(4, {{0, 4, {T, G, T, G}, dmNone, true}});
    std::atomic<int> ends{0};
    GifPaintSetup setup;
    setup.OnEndPaint = [&](TGIFPainter&) { ++ends; };
    auto canvas =
        playThrough(*image, {goAsync, goAnimate, goLoop, goTransparent}, {}, setup, pictureOf("WWBB"));
    EXPECT_EQ(canvas->rows(), std::vector<std::string>{"WGBG"});
    EXPECT_EQ(ends, 1);

    // Draw shows a still image at once.
    image->SetDrawOptions({goTransparent, goAsync, goAnimate});
    auto clock = std::make_shared<FakePainterClock>();
    auto drawn = std::make_shared<Recording>(clock);
    drawn->behind = pictureOf("WWBB");
    Draw(*image, drawn, {0, 0, 4, 1});
    EXPECT_EQ(drawn->rows(), std::vector<std::string>{"WGBG"});
    EXPECT_EQ(GetDrawPainter(*image), nullptr);
}

// ---- loops ------------------------------------------------------------------

TEST(GifPainter, PassesFollowTheLoopExtensionAndTheOptions)
{
    struct Case {
        const char* name;
        int loopFrame, loops;
        TGIFDrawOptions options;
        const char* expected;  // frames painted; 12 means it would go on
    };
    const Case cases[] = {
        {"without a loop extension one pass", -1, 0, {goAsync, goAnimate, goLoop}, "RGB"},
        {"Loops 2 plays twice", 0, 2, {goAsync, goAnimate, goLoop}, "RGBRGB"},
        {"Loops 2 without a thread", 0, 2, {goAnimate, goLoop}, "RGBRGB"},
        {"Loops 0 in a thread is endless", 0, 0, {goAsync, goAnimate, goLoop}, "RGBRGBRGBRGB"},
        {"Loops 0 without a thread plays once", 0, 0, {goAnimate, goLoop}, "RGB"},
        {"goLoopContinously ignores the count",
         0,
         2,
         {goAsync, goAnimate, goLoop, goLoopContinously},
         "RGBRGBRGBRGB"},
        {"goLoopContinously without a thread", -1, 0, {goAnimate, goLoop, goLoopContinously}, "RGBRGBRGBRGB"},
        {"goLoopContinously needs goLoop", 0, 2, {goAsync, goAnimate, goLoopContinously}, "RGB"},
        {"without goLoop one pass", 0, 2, {goAsync, goAnimate}, "RGB"},
        {"later passes start at the frame of the extension", 1, 3, {goAsync, goAnimate, goLoop}, "RGBGBGB"},
        {"without goAnimate only the first frame", 0, 2, {goAsync, goLoop}, "R"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto image = threeFrames(c.loopFrame, c.loops);
        int painted = 0;
        GifPaintSetup setup;
        setup.OnAfterPaint = [&](TGIFPainter& p) {
            if (++painted == 12)
                p.Stop();
        };
        auto canvas = playThrough(*image, c.options, {}, setup);
        EXPECT_EQ(sequence(*canvas), c.expected);
    }
}

TEST(GifPainter, SpeedChangesAndActiveFrameMovesSteerThePasses)
{
    struct Case {
        const char* name;
        std::function<void(TGIFPainter&, int painted)> afterPaint;
        const char* expected;
    };
    const Case cases[] = {
        {"a speed change without a wake event restarts at the first frame",
         [](TGIFPainter& p, int painted) {
             if (painted == 2)
                 p.SetAnimationSpeed(200);
         },
         "RGRGB"},
        {"the painter continues at the frame it is moved to",
         [](TGIFPainter& p, int painted) {
             if (painted == 1)
                 p.SetActiveImage(2);
             if (painted == 2)
                 p.SetActiveImage(7);  // outside the frames: ignored
         },
         "RB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto image = threeFrames();
        int painted = 0;
        GifPaintSetup setup;
        setup.OnAfterPaint = [&](TGIFPainter& p) { c.afterPaint(p, ++painted); };
        auto canvas = playThrough(*image, {goAnimate}, {}, setup);
        EXPECT_EQ(sequence(*canvas), c.expected);
    }
}

// ---- control ----------------------------------------------------------------

TEST(GifPainter, PauseKeepsTheTimeLeftResumeRestartAndStopAct)
{
    auto image = threeFrames(0, 0, 10);  // 120 ms a frame, endless
    auto clock = std::make_shared<FakePainterClock>();
    auto canvas = std::make_shared<Recording>(clock);
    std::atomic<int> starts{0}, ends{0};
    GifPaintSetup setup = withClock(clock);
    setup.OnStartPaint = [&](TGIFPainter&) { ++starts; };
    setup.OnEndPaint = [&](TGIFPainter&) { ++ends; };
    auto painter = Paint(*image, canvas, {0, 0, 1, 1}, {goAsync, goAnimate, goLoop}, setup);
    ASSERT_TRUE(painter);
    ASSERT_TRUE(clock->waitForSleepers(1));
    clock->advance(120);
    ASSERT_TRUE(clock->waitForSleepers(1));
    EXPECT_EQ(sequence(*canvas), "RG");
    EXPECT_TRUE(painter->GetStarted());
    EXPECT_EQ(painter->GetActiveImage(), 2);

    clock->advance(20);  // 100 ms of the frame's 120 left
    std::size_t sleeps = clock->sleeps();
    PaintPause(*image);
    ASSERT_TRUE(clock->waitForSleepers(1, sleeps));
    EXPECT_EQ(clock->nextDeadline(), PainterClock::kForever);
    clock->advance(5000);
    ASSERT_TRUE(clock->waitForSleepers(1));
    EXPECT_EQ(sequence(*canvas), "RG");

    sleeps = clock->sleeps();
    PaintResume(*image);
    ASSERT_TRUE(clock->waitForSleepers(1, sleeps));
    EXPECT_EQ(clock->nextDeadline(), clock->now() + 100);
    clock->advance(99);
    ASSERT_TRUE(clock->waitForSleepers(1));
    EXPECT_EQ(sequence(*canvas), "RG");
    clock->advance(1);
    ASSERT_TRUE(clock->waitForSleepers(1));
    EXPECT_EQ(sequence(*canvas), "RGB");
    // The next frame keeps its full time: the pause was not lateness.
    EXPECT_EQ(clock->nextDeadline(), clock->now() + 120);

    sleeps = clock->sleeps();
    PaintRestart(*image);  // at once, from the first frame
    ASSERT_TRUE(clock->waitForSleepers(1, sleeps));
    EXPECT_EQ(sequence(*canvas), "RGBR");
    EXPECT_EQ(starts, 2);

    PaintStop(*image);
    EXPECT_TRUE(painter->GetFinished());
    EXPECT_EQ(painter->GetActiveImage(), -1);
    EXPECT_TRUE(GetPainters(*image).empty());
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(sequence(*canvas), "RGBR");
}

TEST(GifPainter, ThreadsEndCleanly)
{
    // By itself, at the end of its passes, on its own thread.
    {
        auto image = threeFrames(0, 2);
        std::thread::id endedOn;
        GifPaintSetup setup;
        setup.OnEndPaint = [&](TGIFPainter&) { endedOn = std::this_thread::get_id(); };
        auto canvas = playThrough(*image, {goAsync, goAnimate, goLoop}, {}, setup);
        EXPECT_EQ(sequence(*canvas), "RGBRGB");
        EXPECT_NE(endedOn, std::this_thread::get_id());
        EXPECT_NE(endedOn, std::thread::id());
    }
    // When its image goes, and when it was never started.
    {
        auto image = threeFrames(0, 0);
        auto clock = std::make_shared<FakePainterClock>();
        auto canvas = std::make_shared<Recording>(clock);
        auto running = Paint(*image, canvas, {0, 0, 1, 1}, {goAsync, goAnimate, goLoop}, withClock(clock));
        auto idle =
            InternalPaint(*image, canvas, {0, 0, 1, 1}, {goAsync, goAnimate, goLoop}, withClock(clock));
        ASSERT_TRUE(running && idle);
        EXPECT_FALSE(idle->GetRunning());
        EXPECT_EQ(GetPainters(*image).size(), 2u);
        ASSERT_TRUE(clock->waitForSleepers(1));
        image.reset();
        EXPECT_TRUE(running->GetFinished());
        EXPECT_TRUE(idle->GetFinished());
        EXPECT_EQ(sequence(*canvas), "R");
    }
    // A notification may stop its own painter.
    {
        auto image = threeFrames(0, 0);
        GifPaintSetup setup;
        setup.OnAfterPaint = [](TGIFPainter& p) { PaintStop(p.Image()); };
        auto canvas = playThrough(*image, {goAsync, goAnimate, goLoop}, {}, setup);
        EXPECT_EQ(sequence(*canvas), "R");
    }
}

TEST(GifPainter, AnErrorEndsThePainterAndIsKept)
{
    auto image = threeFrames(0, 0);
    auto clock = std::make_shared<FakePainterClock>(true);
    auto canvas = std::make_shared<Recording>(clock);
    canvas->fail = true;
    bool ended = false;
    GifPaintSetup setup = withClock(clock);
    setup.OnEndPaint = [&](TGIFPainter&) { ended = true; };
    auto painter = Paint(*image, canvas, {0, 0, 1, 1}, {goAsync, goAnimate, goLoop}, setup);
    ASSERT_TRUE(painter && painter->WaitFor());
    EXPECT_TRUE(ended);
    EXPECT_TRUE(painter->GetTerminated());
    EXPECT_EQ(painter->GetErrorMessage(), "canvas gone");
    // Without a thread the error reaches the caller.
    EXPECT_THROW(Paint(*image, canvas, {0, 0, 1, 1}, {goAnimate}, withClock(clock)), std::runtime_error);
    EXPECT_TRUE(GetPainters(*image).empty());

    // With goValidateCanvas a canvas that went away ends the painter quietly.
    canvas->fail = false;
    canvas->isValid = false;
    painter =
        Paint(*image, canvas, {0, 0, 1, 1}, {goAsync, goAnimate, goLoop, goValidateCanvas}, withClock(clock));
    ASSERT_TRUE(painter && painter->WaitFor());
    EXPECT_EQ(painter->GetError(), nullptr);
    EXPECT_EQ(canvas->count(), 0u);
}

TEST(GifPainter, DrawKeepsOnePainterPerImage)
{
    auto image = threeFrames(0, 0, 10);
    image->SetDrawOptions({goAsync, goAnimate, goLoop});
    auto clock = std::make_shared<FakePainterClock>();
    auto canvas = std::make_shared<Recording>(clock);
    Draw(*image, canvas, {0, 0, 1, 1}, withClock(clock));
    auto first = GetDrawPainter(*image);
    ASSERT_TRUE(first);
    ASSERT_TRUE(clock->waitForSleepers(1));
    Draw(*image, canvas, {0, 0, 1, 1}, withClock(clock));  // already painting there
    EXPECT_EQ(GetDrawPainter(*image), first);

    image->SetAnimationSpeed(300);  // passed on
    EXPECT_EQ(first->GetAnimationSpeed(), 300);

    Draw(*image, canvas, {0, 0, 2, 2}, withClock(clock));  // elsewhere: a new painter
    auto second = GetDrawPainter(*image);
    EXPECT_TRUE(first->GetFinished());
    ASSERT_TRUE(second && second != first);
    EXPECT_EQ(GetPainters(*image).size(), 1u);

    image->SetDrawOptions({goAsync, goAnimate});  // stops the draw painter
    EXPECT_TRUE(second->GetFinished());
    EXPECT_EQ(GetDrawPainter(*image), nullptr);

    // An animation that played to its end is shown where it stopped.
    auto automatic = std::make_shared<FakePainterClock>(true);
    auto played = std::make_shared<Recording>(automatic);
    Draw(*image, played, {0, 0, 1, 1}, withClock(automatic));
    if (auto painter = GetDrawPainter(*image))
        painter->WaitFor();
    EXPECT_EQ(sequence(*played), "RGB");
    Draw(*image, played, {0, 0, 1, 1}, withClock(automatic));
    EXPECT_EQ(sequence(*played), "RGBB");
    EXPECT_EQ(GetDrawPainter(*image), nullptr);
}

// ---- the optimizer ----------------------------------------------------------

// Three frames with colour tables of their own, which OptimizeColorMap shares.
std::unique_ptr<TGIFImage> localColourFrames()
{
    auto image = std::make_unique<TGIFImage>();
    for (int i = 0; i < 3; ++i) {
        TGIFSubImage& f = addFrame(*image, 0, 0, 2, 1, {0, 1}, {kColours[std::size_t(i)], kColours[W]});
        addGce(f, 10, dmNone);
    }
    auto ext = std::make_unique<TGIFAppExtNSLoop>(image->Images().GetImage(0));
    image->Images().GetImage(0)->Extensions().Insert(0, std::move(ext));
    return image;
}

TEST(GifPainter, TheOptimizerStopsRunningPainters)
{
    // A painter waiting for its next frame.
    {
        auto image = localColourFrames();
        auto clock = std::make_shared<FakePainterClock>();
        auto canvas = std::make_shared<Recording>(clock);
        auto painter = Paint(*image, canvas, {0, 0, 2, 1}, {goAsync, goAnimate, goLoop}, withClock(clock));
        ASSERT_TRUE(clock->waitForSleepers(1));
        OptimizeColorMap(*image);
        EXPECT_TRUE(painter->GetFinished());
        EXPECT_EQ(image->GetColorMap().GetCount(), 4);
    }
    // From a notification of a painter without a thread: the painter is
    // stopped and the frames rewritten at once.
    {
        auto image = localColourFrames();
        GifPaintSetup setup;
        setup.OnAfterPaint = [](TGIFPainter& p) {
            Optimize(p.Image(), {ooMerge, ooCrop}, rmNone, dmNearest, 8);
        };
        auto canvas = playThrough(*image, {goAnimate, goLoop, goLoopContinously}, {}, setup);
        EXPECT_EQ(canvas->count(), 1u);
        EXPECT_TRUE(image->Images().GetImage(1)->GetTransparent());  // merged with frame 0
    }
    // Painters that paint flat out, stopped and made again and again.
    {
        auto image = localColourFrames();
        auto clock = std::make_shared<FakePainterClock>(true);
        auto canvas = std::make_shared<Recording>(clock);
        canvas->keep = false;
        for (int round = 0; round < 20; ++round) {
            auto painter =
                Paint(*image, canvas, {0, 0, 2, 1}, {goAsync, goAnimate, goLoop}, withClock(clock));
            ASSERT_TRUE(painter);
            OptimizeColorMap(*image);
            EXPECT_TRUE(painter->GetFinished());
        }
        EXPECT_TRUE(GetPainters(*image).empty());
    }
}

}  // namespace
}  // namespace pelko
