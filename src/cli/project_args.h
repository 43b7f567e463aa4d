#pragma once
// The project-building options shared by "new" and "make":
// --size WxH, --stretch, --time MS.

#include "cli/command.h"
#include "engine/project/project_options.h"

namespace pelko::cli {

inline constexpr OptionHelp kProjectArgsHelp[] = {
    {"--size WxH", "the canvas, each side 5 to 10000 pixels (default: the size of the first frame)"},
    {"--stretch", "pictures larger than the canvas are scaled down to fit it instead of cut"},
    {"--time MS",
     "the time of each frame, 20 to 32000 ms in a GIF (where a GIF's frames keep their own delays) and 20 "
     "to 10000 in an AVI (default 500 in a GIF, 1000 in an AVI)"},
};

// Fills options for a new project of the given type from args (taking the
// options out of it). Returns kExitOk, or kExitFailed after a message.
int takeProjectArgs(Args& args, std::int32_t type, ProjectOptions& options);

// A project made from the pictures as Add makes it. Every picture must be
// read: each one that cannot is printed as "PATH: reason" and the result is
// kExitFailed, as it is when no frame could be made; otherwise kExitOk.
int buildProject(Project& project, const ProjectOptions& options, const std::vector<std::string>& pictures,
                 ProgressSink& progress = noProgress());

}  // namespace pelko::cli
