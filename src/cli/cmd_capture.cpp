// pelko-cli capture OUT --area X,Y,W,H: a screen capture from the X display
// without a window. It grabs as the capture bar's timer does (or, with --fps
// and --seconds, records at a steady rate as the bar's "Record" does) and
// writes the pictures as "Finish and create" does, into the file named.

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <iostream>
#include <sstream>
#include <thread>

#include "cli/command.h"
#include "cli/effect_args.h"
#include "cli/output_options.h"
#include "cli/terminal_progress.h"
#include "engine/base/output_file.h"
#include "engine/capture/grab_picture.h"
#include "engine/capture/recorder.h"
#include "engine/capture/write_capture.h"
#include "platform/portal_screen_grabber.h"
#include "platform/qt_settings_store.h"
#include "platform/x11_screen_grabber.h"

namespace pelko::cli {
namespace {

constexpr int kMaxCount = 10000;
constexpr int kMaxPeriodMs = 100000;
constexpr int kMaxSeconds = 86400;

constexpr OptionHelp kCaptureHelp[] = {
    {"--area X,Y,W,H", "the screen area in the display's pixels, needed; it must lie on the screen"},
    {"--count N", "pictures to grab, 1 to 10000 (default 10)"},
    {"--period MS", "time from one grab to the next, 1 to 100000 ms (default 1000)"},
    {"--duration MS", "each picture's time in the file, 20 to 10000 ms (default 1000)"},
    {"--fps N",
     "record at N frames a second, 5 to 30, each frame lasting in the file as long as it was on "
     "the screen (needs --seconds; in place of --count, --period and --duration)"},
    {"--seconds S", "how long to record, 1 to 86400 s"},
    {"--cursor", "draw the mouse cursor into the pictures, its hot spot on the mouse position"},
    {"--grabber x11|portal",
     "where the pictures come from: the X display, or the desktop portal's shared "
     "screen (a Wayland desktop; the default there), its permission kept in the "
     "settings"},
    {"--codec FOURCC", "the AVI's video codec, e.g. DIB (uncompressed, the default), MJPG, FFV1, DIVX"},
};

int wrong(const std::string& why)
{
    std::cerr << "pelko-cli: capture: " << why << '\n';
    return usage("capture");
}

bool parseArea(const std::string& text, Rect& area)
{
    std::vector<int> v;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, ',');) {
        int n = 0;
        if (!parseNumber(part, 0, 65535, n))
            return false;
        v.push_back(n);
    }
    if (v.size() != 4 || v[2] < 1 || v[3] < 1)
        return false;
    area = {v[0], v[1], v[2], v[3]};
    return true;
}

struct Recorded {
    int frames = 0;
    int missed = 0;
    std::string error;  // why the recording ended early
};

// Records for seconds and reports how it went; the pictures are in the list.
Recorded record(ScreenGrabber& grabber, CapturedPictures& pictures, const Rect& area, bool withCursor,
                int fps, int seconds)
{
    Recorder recorder(grabber, pictures, area, withCursor, fps);
    recorder.setLength(std::int64_t(seconds) * 1000);
    recorder.start();
    while (recorder.status().running) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    recorder.stop();
    const RecordingStatus status = recorder.status();
    return {status.frames, status.missed, status.error};
}

int runCapture(const Args& given)
{
    Args args = given;
    std::string v, areaText, codec;
    Rect area;
    int count = 10, periodMs = 1000, durationMs = 1000;
    const bool withCursor = takeFlag(args, "--cursor");
    const bool quiet = takeFlag(args, "--quiet");
    const bool hasArea = takeOption(args, "--area", areaText);
    if (hasArea && !parseArea(areaText, area))
        return wrong("--area takes X,Y,WIDTH,HEIGHT with a width and height of 1 or more");
    if (takeOption(args, "--count", v) && !parseNumber(v, 1, kMaxCount, count))
        return wrong("--count takes 1 to 10000");
    if (takeOption(args, "--period", v) && !parseNumber(v, 1, kMaxPeriodMs, periodMs))
        return wrong("--period takes 1 to 100000 ms");
    if (takeOption(args, "--duration", v) && !parseNumber(v, kMinDurationMs, kMaxDurationMs, durationMs))
        return wrong("--duration takes 20 to 10000 ms");
    int fps = 0, seconds = 0;
    if (takeOption(args, "--fps", v) && !parseNumber(v, kMinRecordFps, kMaxRecordFps, fps))
        return wrong("--fps takes 5 to 30 frames a second");
    if (takeOption(args, "--seconds", v) && !parseNumber(v, 1, kMaxSeconds, seconds))
        return wrong("--seconds takes 1 to 86400");
    if ((fps > 0) != (seconds > 0))
        return wrong("--fps and --seconds go together");
    if (fps > 0 && (given.end() != std::find_if(given.begin(), given.end(), [](const std::string& a) {
                        return a == "--count" || a == "--period" || a == "--duration";
                    })))
        return wrong("--fps records at its own rate: --count, --period and --duration are for timed grabs");
    const bool hasCodec = takeOption(args, "--codec", codec);
    std::string grabberChoice;
    if (takeOption(args, "--grabber", grabberChoice) && grabberChoice != "x11" && grabberChoice != "portal")
        return wrong("--grabber takes x11 or portal");
    if (!hasArea)
        return wrong("--area is needed");
    if (args.size() != 1 || args[0].rfind("--", 0) == 0)
        return usage("capture");
    const std::string out = args[0];
    const OutputKind kind = outputKindArg(out);
    if (kind == OutputKind::None)
        return kExitFailed;
    const bool gif = kind == OutputKind::Gif;
    CompressOptions compress;
    if (hasCodec) {
        if (gif)
            return wrong("--codec is for an AVI");
        const VideoCodecInfo* info = findVideoCodec(codec == "DIB" ? "DIB " : codec);
        if (!info)
            return fail("the codec " + codec + " is not available in this build");
        compress.fourcc = info->fourcc;
    }

    const bool portal = usePortalGrabber(grabberChoice);
    std::string why;
    std::unique_ptr<QCoreApplication> app;
    if (portal) {
        static int argc = 1;
        static char name[] = "pelko-cli";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        app = x11CaptureApplication(why);
        if (!why.empty())
            return fail(why);
    }
    try {
        std::unique_ptr<ScreenGrabber> made;
        if (portal) {
            // the desktop's permission, kept for the next capture
            QtSettingsStore store;
            PortalOptions options;
            options.withCursor = withCursor;
            options.restoreToken =
                store.canOpen() ? store.readText("CapturePortalRestoreToken").value_or("") : "";
            auto p = std::make_unique<PortalScreenGrabber>(options);
            if (!p->restoreToken().empty() && p->restoreToken() != options.restoreToken && store.canWrite()) {
                store.writeText("CapturePortalRestoreToken", p->restoreToken());
                store.flush();
            }
            made = std::move(p);
        } else {
            made = std::make_unique<X11ScreenGrabber>();
        }
        ScreenGrabber& grabber = *made;
        const DesktopSize desktop = grabber.desktopSize();
        if (area.left + area.width > desktop.width || area.top + area.height > desktop.height)
            return fail("the area " + areaText + " does not lie on the " + std::to_string(desktop.width) +
                        " x " + std::to_string(desktop.height) + " screen");
        CapturedPictures pictures;
        if (fps > 0) {
            const Recorded r = record(grabber, pictures, area, withCursor, fps, seconds);
            // what was grabbed before a failure is still written
            if (!r.error.empty())
                std::cerr << "pelko-cli: capture: " << r.error << '\n';
            if (pictures.count() == 0)
                return fail("nothing was recorded");
            if (!quiet)
                std::cerr << "recorded " << r.frames << " frames, " << r.missed << " missed\n";
            count = pictures.count();
            durationMs = 1000 / fps;  // the AVI's frame period
        } else {
            // each grab at its own time from the start, so late grabs do not
            // push the later ones back
            const auto start = std::chrono::steady_clock::now();
            for (int i = 0; i < count; ++i) {
                std::this_thread::sleep_until(start + std::chrono::milliseconds(std::int64_t(i) * periodMs));
                pictures.add(grabCapturePicture(grabber, area, withCursor));
            }
        }
        TerminalProgress progress("capture", count, quiet);
        if (gif) {
            storeCaptureGifDefaults();
            writeCaptureGif(pictures, out, durationMs, progress);
            progress.finish();
            return kExitOk;
        }
        CaptureAviReport report;
        const AviResult result = writeCaptureAvi(
            pictures, out, durationMs, compress.fourcc.empty() ? nullptr : &compress, report, progress);
        progress.finish();
        if (result == AVIERR_OK)
            return kExitOk;
        for (const std::string& m : report.messages) {
            std::string line = m;
            for (char& c : line)
                if (c == '\n')
                    c = ' ';
            fail(line);
        }
        return kExitFailed;
    } catch (const std::exception& e) {
        return fail(e.what());
    }
}

}  // namespace

PELKO_CLI_COMMAND(
    "capture",
    "OUT.gif|OUT.avi --area X,Y,W,H [--count N] [--period MS] [--duration MS] [--fps N --seconds S] "
    "[--cursor] [--grabber x11|portal] [--codec FOURCC] [--quiet]",
    "grab N pictures of a screen area of the X display ($DISPLAY), one every MS ms (or record N "
    "frames a second for S seconds), and write them as an animated GIF or an AVI as the capture "
    "bar's \"Finish and create\" does",
    runCapture, optionHelp({kCaptureHelp, kQuietOptionHelp}));

}  // namespace pelko::cli
