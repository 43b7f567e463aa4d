#pragma once
// When each command of the window is available. This is the one place that
// decides it: the window maps the answer onto its actions and menus.

#include "engine/project/project.h"

namespace pelko {

// What the window knows beside the project.
struct WindowState {
    bool projectOpen = false;  // a project exists (after the first New or Open)
};

struct CommandEnabling {
    bool save = false;             // "Save project": the project changed
    bool projectCommands = false;  // Save as, Project options, Add, "Add sound into AVI": a project exists
    bool listNotEmpty = false;     // Run, Generate, Select All
    // Delete, Insert, Copy, Save frame, Clone, Refresh, Creeping line, Alpha
    // blending, Frame options, Frame origin, the Flip and Convert submenus
    bool selected = false;
    bool optimizeColor = false;  // "Optimize frame's color": selected and a GIF project
    bool up = false;             // exactly one frame selected, not the first
    bool down = false;           // exactly one frame selected, not the last
};
CommandEnabling commandEnabling(const Project& project, const WindowState& window = {});

}  // namespace pelko
