#include "cli/project_args.h"

#include <cstdio>
#include <iostream>
#include <new>

#include "cli/picture_input.h"
#include "cli/terminal_progress.h"
#include "engine/project/editing.h"

namespace pelko::cli {

int takeProjectArgs(Args& args, std::int32_t type, ProjectOptions& o)
{
    std::string size, time;
    const bool hasSize = takeOption(args, "--size", size);
    const bool hasTime = takeOption(args, "--time", time);
    o.Type = type;
    o.Stretch = takeFlag(args, "--stretch");
    o.FixAtFirstFrame = !hasSize;
    if (hasSize) {
        char x = 0, tail = 0;
        if (std::sscanf(size.c_str(), "%d%c%d%c", &o.Width, &x, &o.Height, &tail) != 3 ||
            (x != 'x' && x != 'X') || o.Width < kMinCanvasSide || o.Height < kMinCanvasSide ||
            o.Width > kMaxCanvasSide || o.Height > kMaxCanvasSide)
            return fail("--size wants WIDTHxHEIGHT, each 5 to 10000: " + size);
    }
    if (hasTime) {
        int ms = 0;
        char tail = 0;
        const int maxTime = type == ProjectGif ? kMaxGifFrameTime : kMaxAviFrameTime;
        if (std::sscanf(time.c_str(), "%d%c", &ms, &tail) != 1 || ms < kMinFrameTime || ms > maxTime)
            return fail("--time wants milliseconds from 20 to " + std::to_string(maxTime) + ": " + time);
        o.AviFrameTime = o.GifFrameTime = ms;
    }
    return kExitOk;
}

int buildProject(Project& project, const ProjectOptions& options, const std::vector<std::string>& pictures,
                 ProgressSink& progress)
{
    newProject(project, options);
    CliSourceReader reader;
    EditResult r;
    try {
        r = addFiles(project, pictures, reader, progress);
    } catch (const std::bad_alloc&) {
        return fail(reader.lastPath() + ": not enough memory for its frames on a canvas of " +
                    std::to_string(project.settings.Width) + " x " + std::to_string(project.settings.Height));
    }
    endProgressLine();
    for (const std::string& e : r.errors) std::cerr << "pelko-cli: " << e << '\n';
    if (!r.errors.empty())
        return kExitFailed;
    // Only GIFs whose every image is empty add nothing without an error.
    if (project.frames.empty()) {
        for (const std::string& p : pictures)
            std::cerr << "pelko-cli: " << p << ": the GIF holds no picture\n";
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace pelko::cli
