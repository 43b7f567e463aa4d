#include "engine/effects/clone.h"

#include <algorithm>
#include <functional>

namespace pelko {

bool cloneSelected(Project& project)
{
    std::vector<int> order = project.selection.indices();
    if (order.empty())
        return false;
    std::sort(order.begin(), order.end(), std::greater<int>());
    project.selection.clear();
    for (int i : order) {
        if (i < 0 || i >= project.frames.count())
            continue;
        FrameRecord copy = project.frames[std::size_t(i)];
        project.frames.insert(std::size_t(i), std::move(copy));
    }
    project.selection.selectOnly(order.back() + 1);
    project.changed = true;
    return true;
}

}  // namespace pelko
