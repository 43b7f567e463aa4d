#include "engine/playback/playback.h"

#include <gtest/gtest.h>

#include "support/given_pictures.h"
#include "support/recording_sound_player.h"

namespace pelko {
namespace {

using test::givePicture;
using test::RecordingSoundPlayer;
using test::withGivenPictures;

constexpr Color kRed = rgb(255, 0, 0);
constexpr Color kGreen = rgb(0, 255, 0);
constexpr Color kBlue = rgb(0, 0, 255);
constexpr Color kWhite = 0xFFFFFF;

// A frame of a w x h picture of one colour at (left, top), lasting time.
FrameRecord frameOf(Color c, int w, int h, int left, int top, std::uint16_t time)
{
    FrameRecord f;
    Picture p(w, h);
    p.fill(c);
    givePicture(f, std::move(p));
    f.Width = w;
    f.Height = h;
    f.Left = left;
    f.Top = top;
    f.Time = time;
    return f;
}

Project projectOf(std::vector<FrameRecord> frames, ProjectType type = ProjectGif)
{
    Project p;
    p.settings.Width = 20;
    p.settings.Height = 10;
    p.settings.Type = type;
    p.settings.AviFrameTime = 40;
    for (auto& f : frames) p.frames.insert(std::size_t(p.frames.count()), std::move(f));
    return withGivenPictures(std::move(p));
}

// The periods of a whole run from start to end.
std::vector<int> periodsOf(Playback& playback, const Project& project, RunSource source)
{
    std::vector<int> periods;
    for (PlaybackStep s = playback.run(project, source); !s.ended; s = playback.tick(project))
        periods.push_back(s.period);
    return periods;
}

TEST(Playback, GifModeTimesEachFrameByItsOwnTimeAviModeByTheAviTime)
{
    const Project project = projectOf({frameOf(kRed, 20, 10, 0, 0, 100), frameOf(kGreen, 20, 10, 0, 0, 500),
                                       frameOf(kBlue, 20, 10, 0, 0, 100)});
    Playback playback;
    EXPECT_EQ(periodsOf(playback, project, RunSource::Gif), (std::vector<int>{100, 500, 100}));
    EXPECT_EQ(playback.phase(), PlaybackPhase::Stopped);
    EXPECT_EQ(periodsOf(playback, project, RunSource::Avi), (std::vector<int>{40, 40, 40}));
    // the Run button follows the project's type
    EXPECT_EQ(periodsOf(playback, project, RunSource::Button), (std::vector<int>{100, 500, 100}));
    Project avi = project;
    avi.settings.Type = ProjectAvi;
    EXPECT_EQ(periodsOf(playback, avi, RunSource::Button), (std::vector<int>{40, 40, 40}));
}

TEST(Playback, OneFrameShowsForOnePeriodThenEndsAndAnEmptyListDoesNothing)
{
    const Project project = projectOf({frameOf(kRed, 20, 10, 0, 0, 70)});
    Playback playback;
    const PlaybackStep first = playback.run(project, RunSource::Gif);
    EXPECT_TRUE(first.shown);
    EXPECT_EQ(first.period, 70);
    const PlaybackStep last = playback.tick(project);
    EXPECT_TRUE(last.ended);
    EXPECT_EQ(last.period, -1);
    // the end leaves the last picture to be shown
    EXPECT_EQ(playback.picture().pixel(5, 5), kRed);

    const PlaybackStep none = playback.run(projectOf({}), RunSource::Gif);
    EXPECT_FALSE(none.shown);
    EXPECT_EQ(playback.phase(), PlaybackPhase::Stopped);
}

TEST(Playback, GifModeLetsTheEarlierPictureShowThroughTheTransparentColourAviModeNever)
{
    FrameRecord holed = frameOf(kGreen, 10, 10, 5, 0, 100);
    test::pictureOf(holed).setPixel(2, 2, kBlue);
    holed.Gif.GIFTransparent = true;
    holed.Gif.TransparentColor = kBlue;
    const Project project = projectOf({frameOf(kRed, 20, 10, 0, 0, 100), holed});

    Playback gif;
    gif.run(project, RunSource::Gif);
    gif.tick(project);
    EXPECT_EQ(gif.picture().pixel(7, 2), kRed);    // through the hole
    EXPECT_EQ(gif.picture().pixel(8, 2), kGreen);  // the frame
    EXPECT_EQ(gif.picture().pixel(1, 1), kRed);    // beside it

    Playback avi;
    avi.run(project, RunSource::Avi);
    avi.tick(project);
    EXPECT_EQ(avi.picture().pixel(7, 2), kBlue);
    EXPECT_EQ(avi.picture().pixel(1, 1), kWhite);
    EXPECT_EQ(avi.picture().width(), 20);
    EXPECT_EQ(avi.picture().height(), 10);
}

TEST(Playback, TransparentFramesPartlyOffTheCanvasAreClipped)
{
    struct Case {
        int left, top;
        int inX, inY;    // a canvas pixel the frame covers
        int outX, outY;  // one it does not
    };
    for (const Case& c : {Case{-5, 3, 4, 5, 5, 5}, Case{15, -8, 19, 1, 14, 1}, Case{18, 8, 19, 9, 17, 9}}) {
        FrameRecord holed = frameOf(kGreen, 10, 10, c.left, c.top, 100);
        holed.Gif.GIFTransparent = true;
        holed.Gif.TransparentColor = kBlue;
        const Project project = projectOf({frameOf(kRed, 20, 10, 0, 0, 100), holed});
        Playback playback;
        playback.run(project, RunSource::Gif);
        playback.tick(project);
        EXPECT_EQ(playback.picture().pixel(c.inX, c.inY), kGreen) << c.left << "," << c.top;
        EXPECT_EQ(playback.picture().pixel(c.outX, c.outY), kRed) << c.left << "," << c.top;
    }
}

TEST(Playback, PauseKeepsThePositionAndResumeShowsTheNextFrameByItsOwnTime)
{
    const Project project = projectOf({frameOf(kRed, 20, 10, 0, 0, 100), frameOf(kGreen, 20, 10, 0, 0, 500),
                                       frameOf(kBlue, 20, 10, 0, 0, 300)});
    Playback playback;
    playback.run(project, RunSource::Gif);
    playback.pause(project);
    EXPECT_EQ(playback.phase(), PlaybackPhase::Paused);
    EXPECT_EQ(playback.tick(project).period, -1);  // a late tick does nothing
    EXPECT_EQ(playback.current(), 0);

    const PlaybackStep resumed = playback.run(project, RunSource::Gif);
    EXPECT_EQ(playback.current(), 1);
    EXPECT_EQ(resumed.period, 500);
    EXPECT_EQ(playback.picture().pixel(0, 0), kGreen);
    EXPECT_EQ(playback.tick(project).period, 300);
}

TEST(Playback, ResumingAtTheLastFrameEndsThePlayback)
{
    const Project project = projectOf({frameOf(kRed, 20, 10, 0, 0, 100), frameOf(kGreen, 20, 10, 0, 0, 100)});
    RecordingSoundPlayer sound;
    Project withSound = project;
    withSound.settings.Sound = true;
    withSound.settings.Wav_File = "/s.wav";
    Playback playback(&sound);
    playback.run(withSound, RunSource::Gif);
    playback.tick(withSound);
    playback.pause(withSound);
    sound.calls.clear();

    const PlaybackStep step = playback.run(withSound, RunSource::Avi);
    EXPECT_TRUE(step.ended);
    EXPECT_EQ(step.period, -1);
    EXPECT_EQ(playback.phase(), PlaybackPhase::Stopped);
    EXPECT_EQ(playback.picture().pixel(0, 0), kGreen);
    EXPECT_TRUE(sound.calls.empty());  // no sound for frames that are not shown
}

TEST(Playback, SoundStartsWithTheAviRunControlsStopsWithPauseAndStopAndRestartsOnAviResume)
{
    Project project = projectOf({frameOf(kRed, 20, 10, 0, 0, 100), frameOf(kGreen, 20, 10, 0, 0, 100),
                                 frameOf(kBlue, 20, 10, 0, 0, 100)},
                                ProjectAvi);
    project.settings.Sound = true;
    project.settings.Wav_File = "/music.wav";
    RecordingSoundPlayer sound;
    Playback playback(&sound);

    playback.run(project, RunSource::Avi);
    playback.pause(project);
    playback.run(project, RunSource::Avi);  // from its beginning again
    playback.pause(project);
    playback.run(project, RunSource::Gif);  // a GIF resume starts none
    playback.stop(project);
    EXPECT_EQ(sound.calls,
              (std::vector<std::string>{"async /music.wav", "stop", "async /music.wav", "stop", "stop"}));

    sound.calls.clear();
    playback.run(project, RunSource::Button);  // the Run button itself starts no sound
    playback.tick(project);
    playback.tick(project);
    playback.tick(project);  // the end: a sound still playing goes on
    EXPECT_TRUE(sound.calls.empty());

    project.settings.Sound = false;
    playback.run(project, RunSource::Avi);
    playback.stop(project);
    EXPECT_TRUE(sound.calls.empty());
}

TEST(Playback, AFrameWhosePictureIsMissingShowsWhiteAndPlaybackGoesOn)
{
    Project project = projectOf({frameOf(kRed, 20, 10, 0, 0, 100)});
    FrameRecord gone;
    gone.File = "/nowhere/gone.png";
    gone.Width = 20;
    gone.Height = 10;
    gone.Time = 200;
    project.frames.insert(1, gone);
    Playback playback;
    playback.run(project, RunSource::Avi);
    const PlaybackStep step = playback.tick(project);
    EXPECT_TRUE(step.shown);
    EXPECT_EQ(playback.picture().pixel(0, 0), kWhite);
    EXPECT_TRUE(playback.tick(project).ended);
}

}  // namespace
}  // namespace pelko
