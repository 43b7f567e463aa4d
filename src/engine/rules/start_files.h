#pragma once
// What the program is handed on its command line (by the user or by a file
// manager's "Open with"): a project file to open, or pictures to start a new
// project with, as New followed by Add would.

#include <string>
#include <vector>

#include "engine/project/project_options.h"

namespace pelko {

struct StartFiles {
    std::string project;                // opened as Open opens a project
    std::vector<std::string> pictures;  // a new project made of them
};

// A first argument that names a picture Add reads (by its extension) starts
// a new project with every argument as a picture; any other first argument is
// opened as a project, as it always was, and the rest are not used.
StartFiles startFilesFor(const std::vector<std::string>& arguments);

// The New options of a project started from pictures: the New dialog's
// starting values, a GIF project when the first picture is a GIF, and the
// canvas taken from the first frame added.
ProjectOptions startProjectOptions(const std::vector<std::string>& pictures, ProjectOptions dialogStart);

}  // namespace pelko
