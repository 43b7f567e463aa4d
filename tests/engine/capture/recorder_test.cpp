// The recording: the real clock and threads over a fake desktop whose
// pictures count the grabs; then the times written into a GIF and an AVI.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "../avi/avi_test_util.h"
#include "engine/capture/recorder.h"
#include "engine/capture/write_capture.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/gif_image.h"
#include "support/temp_dir.h"

namespace pelko {
namespace {

using namespace std::chrono_literals;
using namespace pelko::test;

// Each grab a flat picture of the grab's number; grab number slowAt takes
// slowMs, and grabs from failFrom on fail as a stream that ended does.
class CountingDesktop : public ScreenGrabber {
public:
    std::atomic<int> grabs{0};
    int slowAt = -1, slowMs = 0, failFrom = -1;

    DesktopSize desktopSize() override { return {64, 48}; }
    Picture grab(int, int, int width, int height) override
    {
        const int n = grabs++;
        if (failFrom >= 0 && n >= failFrom)
            throw ScreenGrabError("The shared screen's stream has ended.");
        if (n == slowAt)
            std::this_thread::sleep_for(std::chrono::milliseconds(slowMs));
        Picture p(width, height);
        p.fill(rgb(std::uint8_t(n), 0, 0));
        return p;
    }
    std::optional<CursorImage> cursor() override { return std::nullopt; }
};

// The durations add up to the recording's end, and every picture is the
// grab it was.
void expectWholeTimeLine(const CapturedPictures& pictures)
{
    std::int64_t sum = 0;
    for (int i = 0; i < pictures.count(); ++i) {
        EXPECT_GE(pictures.durationMs(i, 0), 0) << i;
        sum += pictures.durationMs(i, 0);
    }
    EXPECT_EQ(sum, pictures.endMs() - pictures.startMs(0));
}

TEST(Recorder, GrabsOnTheTimeLineAndKeepsEveryPicture)
{
    CountingDesktop desktop;
    CapturedPictures pictures(0);  // every picture packed
    Recorder recorder(desktop, pictures, {0, 0, 16, 8}, true, 20);
    EXPECT_EQ(recorder.framePeriodMs(), 50);
    const auto started = std::chrono::steady_clock::now();
    recorder.start();
    std::this_thread::sleep_for(520ms);
    recorder.stop();
    const auto wallMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started)
            .count();
    const RecordingStatus s = recorder.status();
    EXPECT_FALSE(s.running);
    EXPECT_TRUE(s.error.empty());
    EXPECT_EQ(s.frames, pictures.count());
    EXPECT_EQ(s.frames, desktop.grabs.load());
    // a turn every 50 ms; a loaded machine may miss some, never invent
    EXPECT_GE(s.frames + s.missed, 8);
    EXPECT_LE(s.frames + s.missed, wallMs / 50 + 1);
    EXPECT_GE(s.elapsedMs, 500);
    EXPECT_EQ(pictures.endMs(), s.elapsedMs);
    for (int i = 0; i < pictures.count(); ++i) {
        EXPECT_EQ(pictures.at(i).pixel(0, 0), rgb(std::uint8_t(i), 0, 0)) << i;
        // each grab at or after its turn
        EXPECT_GE(pictures.startMs(i), i * 50 - 1) << i;
    }
    expectWholeTimeLine(pictures);
}

TEST(Recorder, GivenLengthEndsByItselfExactlyThen)
{
    CountingDesktop desktop;
    CapturedPictures pictures;
    Recorder recorder(desktop, pictures, {0, 0, 8, 8}, false, 20);
    recorder.setLength(300);
    recorder.start();
    for (int i = 0; i < 100 && recorder.status().running; ++i) std::this_thread::sleep_for(10ms);
    RecordingStatus s = recorder.status();
    EXPECT_FALSE(s.running);
    EXPECT_TRUE(s.error.empty());
    EXPECT_EQ(s.frames + s.missed, 6);  // the turns at 0, 50, ... 250 ms
    recorder.stop();
    EXPECT_EQ(pictures.endMs(), 300);
    expectWholeTimeLine(pictures);
}

TEST(Recorder, LateGrabMissesTurnsAndThePictureBeforeLastsLonger)
{
    CountingDesktop desktop;
    desktop.slowAt = 3;
    desktop.slowMs = 230;
    CapturedPictures pictures;
    Recorder recorder(desktop, pictures, {0, 0, 8, 8}, false, 25);
    recorder.start();
    std::this_thread::sleep_for(600ms);
    recorder.stop();
    const RecordingStatus s = recorder.status();
    EXPECT_GE(s.missed, 4);  // the 230 ms grab took the time of five turns
    // no picture was made up for the missed turns: the slow one lasts
    int longest = 0;
    for (int i = 0; i < pictures.count(); ++i)
        if (pictures.durationMs(i, 0) > pictures.durationMs(longest, 0))
            longest = i;
    EXPECT_EQ(longest, 3);
    EXPECT_GE(pictures.durationMs(3, 0), 200);
    expectWholeTimeLine(pictures);
}

TEST(Recorder, PauseLeavesItsTimeOutAndResumeGoesOn)
{
    CountingDesktop desktop;
    CapturedPictures pictures;
    Recorder recorder(desktop, pictures, {0, 0, 8, 8}, false, 10);
    recorder.start();
    std::this_thread::sleep_for(250ms);
    recorder.pause();
    const RecordingStatus atPause = recorder.status();
    EXPECT_TRUE(atPause.paused);
    std::this_thread::sleep_for(400ms);
    // the clock stands; at most a grab begun before the pause comes in
    EXPECT_EQ(recorder.status().elapsedMs, atPause.elapsedMs);
    EXPECT_LE(recorder.status().frames, atPause.frames + 1);
    const auto resumed = std::chrono::steady_clock::now();
    recorder.resume();
    std::this_thread::sleep_for(250ms);
    recorder.stop();
    const auto sinceResume =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - resumed)
            .count();
    const RecordingStatus s = recorder.status();
    EXPECT_GT(s.frames, atPause.frames);
    // the recorded time leaves the 400 ms of the pause out
    EXPECT_GE(s.elapsedMs, atPause.elapsedMs + 250);
    EXPECT_LE(s.elapsedMs, atPause.elapsedMs + sinceResume + 1);  // (whole milliseconds)
    expectWholeTimeLine(pictures);
}

TEST(Recorder, FailingGrabEndsTheRecordingAndKeepsWhatWasGrabbed)
{
    CountingDesktop desktop;
    desktop.failFrom = 4;
    CapturedPictures pictures;
    Recorder recorder(desktop, pictures, {0, 0, 8, 8}, false, 30);
    recorder.start();
    for (int i = 0; i < 100 && recorder.status().running; ++i) std::this_thread::sleep_for(10ms);
    RecordingStatus s = recorder.status();
    EXPECT_FALSE(s.running);
    EXPECT_EQ(s.error, "The shared screen's stream has ended.");
    recorder.stop();
    EXPECT_EQ(pictures.count(), 4);
    EXPECT_EQ(recorder.status().frames, 4);
    expectWholeTimeLine(pictures);
}

// Written times: a picture at 0, 95 and 180 ms, the end at 400 ms.
void fillTimed(CapturedPictures& pictures)
{
    pictures.clear(true);
    const std::int64_t times[] = {0, 95, 180};
    for (int i = 0; i < 3; ++i) {
        Picture p(10, 6);
        p.fill(rgb(std::uint8_t(80 * i), 0, 0));
        pictures.add(p, times[i]);
    }
    pictures.setEndMs(400);
}

TEST(WriteRecording, GifDelaysFollowTheTimeLine)
{
    TempDir dir;
    CapturedPictures pictures(0);
    fillTimed(pictures);
    const std::string path = dir.file("r.gif");
    ASSERT_TRUE(writeCaptureGif(pictures, path, 1000));
    TGIFImage image;
    image.LoadFromFile(path);
    ASSERT_EQ(image.Images().GetCount(), 3);
    // 0, 95, 180, 400 on a time line of hundredths: 0, 10, 18, 40
    const int delays[] = {10, 8, 22};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(image.Images().GetImage(i)->GraphicControlExtension()->GetDelay(), delays[i]) << i;
}

TEST(WriteRecording, AviFillsTheFramePeriodsUntilTheNextPicture)
{
    if (!haveFfmpeg())
        GTEST_SKIP() << "ffmpeg/ffprobe not installed";
    TempDir dir;
    CapturedPictures pictures;
    fillTimed(pictures);
    const std::string path = dir.file("r.avi");
    CaptureAviReport report;
    ASSERT_EQ(writeCaptureAvi(pictures, path, 40, nullptr, report), AVIERR_OK);
    // 0, 95, 180, 400 on a time line of 40 ms: turns 0, 2, 5, 10
    const std::string out =
        run("ffprobe -v error -count_frames -show_entries stream=nb_read_frames,r_frame_rate "
            "-of csv=p=0 '" +
            path + "'");
    EXPECT_EQ(out.substr(0, out.find('\n')), "25/1,10");
    const std::string raw = dir.file("r.rgb");
    run("ffmpeg -v error -i '" + path + "' -f rawvideo -pix_fmt bgr24 '" + raw + "'");
    const std::vector<std::uint8_t> bytes = loadFile(raw);
    ASSERT_EQ(bytes.size(), std::size_t(10 * 60 * 3));
    const int shown[] = {0, 0, 1, 1, 1, 2, 2, 2, 2, 2};
    for (int f = 0; f < 10; ++f) EXPECT_EQ(bytes[std::size_t(f) * 180 + 2], 80 * shown[f]) << f;
}

}  // namespace
}  // namespace pelko
