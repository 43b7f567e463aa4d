// pelko-cli new PROJECT.mcp PICTURE...: a project built as Add builds it.

#include <cstdio>
#include <iostream>

#include "cli/command.h"
#include "engine/project/editing.h"
#include "engine/project/project_file.h"
#include "engine/project/project_options.h"

namespace pelko::cli {
namespace {

bool parseSize(const std::string& text, int& w, int& h)
{
    char x = 0;
    char tail = 0;
    return std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &tail) == 3 && (x == 'x' || x == 'X') &&
           w >= kMinCanvasSide && h >= kMinCanvasSide && w <= kMaxCanvasSide && h <= kMaxCanvasSide;
}

int runNew(const Args& given)
{
    Args args = given;
    std::string type = "gif", size, time;
    takeOption(args, "--type", type);
    const bool hasSize = takeOption(args, "--size", size);
    const bool hasTime = takeOption(args, "--time", time);
    const bool stretch = takeFlag(args, "--stretch");
    if (args.size() < 2 || (type != "gif" && type != "avi"))
        return usage("new");
    for (const std::string& a : args)
        if (a.rfind("--", 0) == 0)
            return usage("new");

    ProjectOptions o;
    o.Type = type == "gif" ? ProjectGif : ProjectAvi;
    o.Stretch = stretch;
    o.FixAtFirstFrame = !hasSize;
    if (hasSize && !parseSize(size, o.Width, o.Height))
        return fail("--size wants WIDTHxHEIGHT, each 5 to 10000: " + size);
    if (hasTime) {
        int ms = 0;
        char tail = 0;
        const int maxTime = o.Type == ProjectGif ? kMaxGifFrameTime : kMaxAviFrameTime;
        if (std::sscanf(time.c_str(), "%d%c", &ms, &tail) != 1 || ms < kMinFrameTime || ms > maxTime)
            return fail("--time wants milliseconds from 20 to " + std::to_string(maxTime) + ": " + time);
        o.AviFrameTime = o.GifFrameTime = ms;
    }

    Project project;
    newProject(project, o);
    auto reader = makeFileSourceReader();
    const std::vector<std::string> pictures(args.begin() + 1, args.end());
    const EditResult r = addFiles(project, pictures, *reader);
    for (const std::string& e : r.errors)
        std::cerr << "pelko-cli: " << e << '\n';
    if (project.frames.empty())
        return fail("no frames could be made from the pictures given");
    saveProjectFile(project, args[0]);
    std::cout << args[0] << ": " << project.frames.count() << " frames, " << project.settings.Width << " x "
              << project.settings.Height << ", " << typeText(project.settings.Type) << '\n';
    return r.errors.empty() ? kExitOk : kExitFailed;
}

}  // namespace

PELKO_CLI_COMMAND("new", "PROJECT.mcp PICTURE... [--type gif|avi] [--size WxH] [--stretch] [--time MS]",
                  "write a project made from pictures as Add makes it (canvas from the first frame unless --size)",
                  runNew);

}  // namespace pelko::cli
