#include "engine/edit/frame_order.h"

#include "engine/edit/edit_scope.h"
#include "engine/edit/frame_plan.h"

namespace pelko {

EditToolResult reverseFrames(Project& project)
{
    EditToolResult result;
    const std::vector<int> scope = editScope(project);
    FramePlan plan(project.frames.size());
    for (int i = 0; i < project.frames.count(); ++i) plan.keep(i, project.frames[std::size_t(i)]);
    for (std::size_t k = 0; k < scope.size(); ++k) {
        const int to = scope[k], from = scope[scope.size() - 1 - k];
        plan.frames[std::size_t(to)] = project.frames[std::size_t(from)];
        plan.newIndexOf[std::size_t(from)] = to;
        if (!project.settings.isGif())  // the times belong to the places
            plan.frames[std::size_t(to)].Time = project.frames[std::size_t(to)].Time;
        if (to != from && !(plan.frames[std::size_t(to)] == project.frames[std::size_t(to)]))
            ++result.changed;
    }
    applyFramePlan(project, std::move(plan));
    return result;
}

EditToolResult yoyoFrames(Project& project)
{
    EditToolResult result;
    const std::vector<int> scope = editScope(project);
    if (scope.size() < 3)
        return result;
    FramePlan plan(project.frames.size());
    for (int i = 0; i < project.frames.count(); ++i) {
        plan.keep(i, project.frames[std::size_t(i)]);
        if (i != scope.back())
            continue;
        for (std::size_t k = scope.size() - 2; k >= 1; --k) {
            plan.frames.push_back(project.frames[std::size_t(scope[k])]);
            ++result.added;
        }
    }
    applyFramePlan(project, std::move(plan));
    return result;
}

}  // namespace pelko
