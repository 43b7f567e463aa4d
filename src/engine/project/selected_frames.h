#pragma once
// The commands that change every selected frame in turn.

#include <vector>

#include "engine/base/progress.h"
#include "engine/project/project.h"

namespace pelko {

// Calls op(index, frame) for each selected frame in the order of selection,
// passing over indices outside the list. Progress counts the selected
// indices, each one when op is done with it, however op ends. op may change
// the frames but neither the selection nor the length of the list.
template <class Op>
void forEachSelectedFrame(Project& project, ProgressSink& progress, Op&& op)
{
    const std::vector<int>& selected = project.selection.indices();
    int done = 0;
    for (int i : selected) {
        const ProgressStep step(progress, done, int(selected.size()));
        if (i >= 0 && i < project.frames.count())
            op(i, project.frames[std::size_t(i)]);
    }
}

}  // namespace pelko
