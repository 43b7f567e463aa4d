#pragma once
// The project-building options shared by "new" and "make":
// --size WxH, --stretch, --time MS.

#include "cli/command.h"
#include "engine/project/project_options.h"

namespace pelko::cli {

// Fills options for a new project of the given type from args (taking the
// options out of it). Returns kExitOk, or kExitFailed after a message.
int takeProjectArgs(Args& args, std::int32_t type, ProjectOptions& options);

// A project made from the pictures as Add makes it. Every picture must be
// read: each one that cannot is printed as "PATH: reason" and the result is
// kExitFailed, as it is when no frame could be made; otherwise kExitOk.
int buildProject(Project& project, const ProjectOptions& options, const std::vector<std::string>& pictures);

}  // namespace pelko::cli
