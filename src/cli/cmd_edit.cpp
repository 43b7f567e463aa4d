// pelko-cli edit PROJECT.mcp TOOLS...: the whole-animation tools run on a
// project in the order given, and the project saved.

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <iostream>

#include "cli/cache_option.h"
#include "cli/command.h"
#include "cli/effect_args.h"
#include "cli/picture_input.h"
#include "cli/terminal_progress.h"
#include "engine/base/output_file.h"
#include "engine/edit/canvas_crop.h"
#include "engine/edit/canvas_resize.h"
#include "engine/edit/edit_scope.h"
#include "engine/edit/frame_likeness.h"
#include "engine/edit/frame_order.h"
#include "engine/edit/frame_times.h"
#include "engine/edit/repeated_frames.h"
#include "engine/effects/alpha_blend.h"
#include "engine/project/editing.h"
#include "engine/project/project_file.h"
#include "engine/project/project_options.h"

namespace pelko::cli {
namespace {

constexpr OptionHelp kEditHelp[] = {
    {"--trim TOL",
     "remove the frames at the start and the end that show what their neighbour shows, their time going to "
     "the first and last frames kept; TOL is the largest colour difference taken as the same, 0 (identical "
     "pixels) to 255"},
    {"--dedupe TOL",
     "each run of frames showing the same picture (within TOL, 0 to 255) becomes its first frame, with the "
     "run's time (in an AVI project the repeated frames are dropped and the animation gets shorter)"},
    {"--speed PCT", "multiply the frames' times by PCT percent, 1 to 10000 (50 plays twice as fast)"},
    {"--time MS", "give the frames the time MS, 20 to 32000 ms in a GIF project, to 10000 in an AVI"},
    {"--drop-every N", "drop every Nth frame, N 2 or more, its time going to the frame before it"},
    {"--reverse", "the frames in reverse order"},
    {"--yoyo",
     "append the frames backwards, without the two turning frames, so the loop goes there and back"},
    {"--crop X,Y,W,H",
     "crop the canvas to W x H pixels from (X, Y), keeping the pictures where they were; frames cut at the "
     "left or top get their part as a new PNG in the work folder"},
    {"--scale WxH",
     "resize the whole animation to W x H (5 to 10000 each), the frames resampled into new PNGs "
     "in the work folder"},
    {"--range A-B",
     "frames A to B (counted from 1, both included) are what the tools after it work on; without it they "
     "work on every frame"},
    {"--delete", "delete the frames of the --range before it"},
};

struct Step {
    std::string option;
    std::string value;
};

bool takesValue(const std::string& option)
{
    for (const char* o :
         {"--trim", "--dedupe", "--speed", "--time", "--drop-every", "--crop", "--scale", "--range"})
        if (option == o)
            return true;
    return false;
}

bool isFlag(const std::string& option)
{
    return option == "--reverse" || option == "--yoyo" || option == "--delete";
}

int badValue(const std::string& option, const std::string& value, const char* wanted)
{
    std::cerr << "pelko-cli: edit: " << option << " takes " << wanted << ": " << value << '\n';
    return usage("edit");
}

// Checks the form of every value before the project is read.
int checkStep(const Step& s, bool& rangeSeen)
{
    int n = 0;
    if (s.option == "--trim" || s.option == "--dedupe")
        return parseNumber(s.value, 0, kMaxTolerance, n)
                   ? kExitOk
                   : badValue(s.option, s.value, "a tolerance from 0 to 255");
    if (s.option == "--speed")
        return parseNumber(s.value, kMinSpeedPercent, kMaxSpeedPercent, n)
                   ? kExitOk
                   : badValue(s.option, s.value, "a percentage from 1 to 10000");
    if (s.option == "--time")
        return parseNumber(s.value, kMinFrameTime, kMaxGifFrameTime, n)
                   ? kExitOk
                   : badValue(s.option, s.value, "milliseconds from 20 to 32000");
    if (s.option == "--drop-every")
        return parseNumber(s.value, 2, 1 << 30, n) ? kExitOk
                                                   : badValue(s.option, s.value, "a number of 2 or more");
    char tail = 0;
    if (s.option == "--crop") {
        int x, y, w, h;
        return std::sscanf(s.value.c_str(), "%d,%d,%d,%d%c", &x, &y, &w, &h, &tail) == 4
                   ? kExitOk
                   : badValue(s.option, s.value, "X,Y,WIDTH,HEIGHT");
    }
    if (s.option == "--scale") {
        int w, h;
        char x = 0;
        return std::sscanf(s.value.c_str(), "%d%c%d%c", &w, &x, &h, &tail) == 3 && (x == 'x' || x == 'X')
                   ? kExitOk
                   : badValue(s.option, s.value, "WIDTHxHEIGHT");
    }
    if (s.option == "--range") {
        int a, b;
        rangeSeen = true;
        return std::sscanf(s.value.c_str(), "%d-%d%c", &a, &b, &tail) == 2
                   ? kExitOk
                   : badValue(s.option, s.value, "A-B");
    }
    if (s.option == "--delete" && !rangeSeen) {
        std::cerr << "pelko-cli: edit: --delete deletes the frames of a --range given before it\n";
        return usage("edit");
    }
    return kExitOk;
}

int number(const std::string& text)
{
    return std::atoi(text.c_str());
}

// Runs one step; EditError and file errors go to the caller.
EditToolResult runStep(Project& project, const Step& s, const std::string& work, ProgressSink& progress)
{
    const std::string& v = s.value;
    if (s.option == "--trim")
        return trimRepeats(project, number(v), progress);
    if (s.option == "--dedupe")
        return dedupeRepeats(project, number(v), progress);
    if (s.option == "--speed")
        return scaleTimes(project, number(v));
    if (s.option == "--time")
        return setTimes(project, number(v));
    if (s.option == "--drop-every")
        return dropEveryNth(project, number(v));
    if (s.option == "--reverse")
        return reverseFrames(project);
    if (s.option == "--yoyo")
        return yoyoFrames(project);
    if (s.option == "--crop") {
        Rect r;
        std::sscanf(v.c_str(), "%d,%d,%d,%d", &r.left, &r.top, &r.width, &r.height);
        return cropCanvas(project, r, work, progress);
    }
    if (s.option == "--scale") {
        int w = 0, h = 0;
        char x = 0;
        std::sscanf(v.c_str(), "%d%c%d", &w, &x, &h);
        return resizeAnimation(project, w, h, work, progress);
    }
    if (s.option == "--range") {
        int a = 0, b = 0;
        std::sscanf(v.c_str(), "%d-%d", &a, &b);
        selectRange(project, a, b);
        return {};
    }
    EditToolResult r;  // --delete
    r.removed = project.selection.count();
    deleteSelected(project);
    return r;
}

int openWhole(Project& project, const std::string& path, SourceReader& reader)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return fail(systemErrorText(path, S_ISDIR(st.st_mode) ? EISDIR : errno));
    const OpenResult opened = openProjectFile(project, path, reader, DefaultFrameSize{});
    for (const std::string& e : opened.errors) std::cerr << "pelko-cli: " << e << '\n';
    for (const std::string& line : project.log.lines())
        std::cerr << "pelko-cli: " << path << ": " << line << '\n';
    // saving a project that lost frames on the way in would lose them for good
    if (!opened.errors.empty() || project.changed)
        return fail(path + ": not every frame of the project could be read; nothing written");
    project.selection.clear();
    return kExitOk;
}

int runEdit(const Args& given)
{
    Args args = given;
    if (const int rc = takeCacheOption(args, "edit"))
        return rc;
    const bool quiet = takeFlag(args, "--quiet");
    std::string path;
    std::vector<Step> steps;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (takesValue(a)) {
            if (i + 1 >= args.size())
                return badValue(a, "(nothing)", "a value");
            steps.push_back({a, args[++i]});
        } else if (isFlag(a)) {
            steps.push_back({a, {}});
        } else if (a.rfind("--", 0) == 0 || !path.empty()) {
            return usage("edit");
        } else {
            path = a;
        }
    }
    if (path.empty() || steps.empty())
        return usage("edit");
    bool rangeSeen = false;
    for (const Step& s : steps)
        if (const int rc = checkStep(s, rangeSeen))
            return rc;

    Project project;
    CliSourceReader reader;
    if (const int rc = openWhole(project, path, reader))
        return rc;
    std::string work;
    for (const Step& s : steps)
        if ((s.option == "--crop" || s.option == "--scale") && work.empty()) {
            work = workFolderOrFail(kBlendWorkFolderError);
            if (work.empty())
                return kExitFailed;
        }

    const int framesBefore = project.frames.count();
    for (const Step& s : steps) {
        TerminalProgress progress("edit " + s.option.substr(2), 0, quiet);
        EditToolResult r;
        try {
            r = runStep(project, s, work, progress);
        } catch (const EditError& e) {
            return fail(path + ": " + s.option + ": " + e.what() + "; nothing written");
        } catch (const OutputFileError& e) {
            return fail(std::string(e.what()) + "; " + path + " was not written");
        }
        progress.finish();
        for (const std::string& line : r.problems) std::cerr << "pelko-cli: " << path << ": " << line << '\n';
        if (!r.note.empty())
            std::cerr << "pelko-cli: " << path << ": " << s.option << ": " << r.note << '\n';
    }
    try {
        saveProjectFile(project, path);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    std::cout << path << ": " << framesBefore << " frames before, " << frameCountText(project.frames.count())
              << ", " << playbackText(project.totalTime()) << ", "
              << sizeText(project.settings.Width, project.settings.Height) << '\n';
    return kExitOk;
}

}  // namespace

PELKO_CLI_COMMAND(
    "edit",
    "PROJECT.mcp [--trim TOL] [--dedupe TOL] [--speed PCT] [--time MS] [--drop-every N] [--reverse] "
    "[--yoyo] [--crop X,Y,W,H] [--scale WxH] [--range A-B] [--delete] [--cache-mb N] [--quiet]",
    "run the whole-animation tools on a project in the order given and save it; a value the "
    "project cannot take (a range outside its frames, a crop outside its canvas) leaves the "
    "file as it was",
    runEdit, optionHelp({kEditHelp, kCacheOptionHelp, kQuietOptionHelp}));

}  // namespace pelko::cli
