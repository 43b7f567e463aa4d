// pelko-cli capture OUT --area X,Y,W,H: a screen recording from the X display
// without a window. It grabs as the capture bar's timer does and writes the
// pictures as "Finish and create" does, into the file named.

#include <QGuiApplication>
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
#include "engine/capture/write_capture.h"
#include "platform/x11_screen_grabber.h"

namespace pelko::cli {
namespace {

constexpr int kMaxCount = 10000;
constexpr int kMaxPeriodMs = 100000;

constexpr OptionHelp kCaptureHelp[] = {
    {"--area X,Y,W,H", "the screen area in the display's pixels, needed; it must lie on the screen"},
    {"--count N", "pictures to grab, 1 to 10000 (default 10)"},
    {"--period MS", "time from one grab to the next, 1 to 100000 ms (default 1000)"},
    {"--duration MS", "each picture's time in the file, 20 to 10000 ms (default 1000)"},
    {"--cursor", "draw the mouse cursor into the pictures, its hot spot on the mouse position"},
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
    const bool hasCodec = takeOption(args, "--codec", codec);
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

    std::string why;
    const std::unique_ptr<QGuiApplication> app = x11CaptureApplication(why);
    if (!why.empty())
        return fail(why);
    try {
        X11ScreenGrabber grabber;
        const DesktopSize desktop = grabber.desktopSize();
        if (area.left + area.width > desktop.width || area.top + area.height > desktop.height)
            return fail("the area " + areaText + " does not lie on the " + std::to_string(desktop.width) +
                        " x " + std::to_string(desktop.height) + " screen");
        CapturedPictures pictures;
        // each grab at its own time from the start, so late grabs do not
        // push the later ones back
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i) {
            std::this_thread::sleep_until(start + std::chrono::milliseconds(std::int64_t(i) * periodMs));
            pictures.add(grabCapturePicture(grabber, area, withCursor));
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

PELKO_CLI_COMMAND("capture",
                  "OUT.gif|OUT.avi --area X,Y,W,H [--count N] [--period MS] [--duration MS] [--cursor] "
                  "[--codec FOURCC] [--quiet]",
                  "grab N pictures of a screen area of the X display ($DISPLAY), one every MS ms, and write "
                  "them as an animated GIF or an AVI as the capture bar's \"Finish and create\" does",
                  runCapture, optionHelp({kCaptureHelp, kQuietOptionHelp}));

}  // namespace pelko::cli
