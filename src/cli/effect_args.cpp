#include "cli/effect_args.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <iostream>

#include "engine/base/output_file.h"
#include "engine/base/work_folder.h"
#include "engine/project/project_file.h"

namespace pelko::cli {

bool parseColor(const std::string& text, Color& color)
{
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    const unsigned long v = std::stoul(text, nullptr, 16);
    color = rgb(std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v));
    return true;
}

bool parseNumber(const std::string& text, int lo, int hi, int& value)
{
    char tail = 0;
    return std::sscanf(text.c_str(), "%d%c", &value, &tail) == 1 && value >= lo && value <= hi;
}

int openAtFrame(Project& project, const std::string& path, const std::string& frameArg, SourceReader& reader,
                const char* command)
{
    int number = 0;
    if (!parseNumber(frameArg, 1, 1 << 30, number)) {
        std::cerr << "pelko-cli: " << command << ": the frame number must be 1 or more\n";
        return usage(command);
    }
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
    if (number > project.frames.count())
        return fail(path + ": there is no frame " + std::to_string(number) + " (the project has " +
                    std::to_string(project.frames.count()) + ")");
    project.selection.selectOnly(number - 1);
    return kExitOk;
}

std::string workFolderOrFail(const char* failurePrefix)
{
    try {
        return prepareWorkFolder(programFolder(), userDataHome(), failurePrefix);
    } catch (const WorkFolderError& e) {
        fail(e.what());
        return {};
    }
}

int saveWithNewFrames(Project& project, const GeneratedFrames& made)
{
    try {
        saveProjectFile(project, project.path);
    } catch (const std::exception& e) {
        return fail(std::string(e.what()) + " (the frames' file " + made.path + " was written)");
    }
    std::cout << made.path << '\n';
    return kExitOk;
}

}  // namespace pelko::cli
