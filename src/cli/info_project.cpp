// pelko-cli info PROJECT.mcp: settings, frames and what opening it logged.

#include <sys/stat.h>

#include <cerrno>
#include <iostream>

#include "cli/command.h"
#include "cli/info.h"
#include "cli/picture_input.h"
#include "engine/base/output_file.h"
#include "engine/project/project_file.h"

namespace pelko::cli {

int infoProject(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return fail(systemErrorText(path, S_ISDIR(st.st_mode) ? EISDIR : errno));
    Project project;
    CliSourceReader reader;
    const OpenResult r = openProjectFile(project, path, reader, DefaultFrameSize{});
    const ProjectSettings& s = project.settings;
    std::cout << "project " << path << '\n'
              << "  type " << typeText(s.Type) << ", size " << s.Width << " x " << s.Height << ", stretch "
              << s.Stretch << '\n';
    if (s.isGif())
        std::cout << "  gif frame time " << s.GifFrameTime << ", crop " << s.Crop << ", merge " << s.Merge
                  << ", optimize " << s.Optimize << ", interlaced " << s.Interlaced << '\n';
    else
        std::cout << "  avi frame time " << s.AviFrameTime << ", sound " << s.Sound << " " << s.Wav_File
                  << '\n';
    std::cout << "  " << frameCountText(project.frames.count()) << ", " << playbackText(project.totalTime())
              << '\n';
    int n = 0;
    for (const FrameRecord& f : project.frames) {
        const GifFrameSettings& g = f.Gif;
        std::cout << "frame " << ++n << ": " << f.File << " [" << f.Frame << "]\n"
                  << "  time " << f.Time << ", flip " << f.Flip << ", inverse " << f.Inverse << ", gray "
                  << f.Gray << ", stretch " << f.Stretch << ", place " << f.Left << "," << f.Top << " "
                  << f.Width << " x " << f.Height << '\n'
                  << "  dither " << int(g.ColorDither) << ", reduction " << int(g.ColorReduction) << ", bits "
                  << g.ReductionBit << ", compression " << int(g.GIFCompression) << ", disposal "
                  << int(g.DisposalMethod) << ", transparent " << g.GIFTransparent << " colour 0x" << std::hex
                  << g.TransparentColor << std::dec << " index " << int(g.TransparentColorIndex) << '\n';
    }
    for (const std::string& e : r.errors) std::cout << "error: " << e << '\n';
    for (const std::string& line : project.log.lines()) std::cout << "log: " << line << '\n';
    return kExitOk;
}

}  // namespace pelko::cli
