#include "engine/project/command_enabling.h"

namespace pelko {

CommandEnabling commandEnabling(const Project& project, const WindowState& window)
{
    CommandEnabling e;
    const int n = project.frames.count();
    const Selection& sel = project.selection;
    e.save = project.changed;
    e.projectCommands = window.projectOpen;
    e.listNotEmpty = n > 0;
    e.selected = !sel.empty() && n > 0;
    e.optimizeColor = e.selected && project.settings.isGif();
    e.up = e.selected && sel.count() == 1 && sel.first() != 0;
    e.down = e.selected && sel.count() == 1 && sel.first() != n - 1;
    return e;
}

}  // namespace pelko
