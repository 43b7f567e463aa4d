// Opening a project file of any content: no crash, no hang, whatever the
// values and whatever the named files hold. Frame entries may name the
// pictures of the shared test corpus.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "engine/image/ppm.h"
#include "engine/project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("pelko_fuzz_project_" + std::to_string(::getpid()) + ".mcp"))
                                        .string();
    static auto reader = pelko::makeFileSourceReader();
    pelko::writeFile(path, std::vector<std::uint8_t>(data, data + size));
    pelko::Project project;
    pelko::openProjectFile(project, path, *reader, pelko::DefaultFrameSize{});
    std::remove(path.c_str());
    return 0;
}
