#include "engine/edit/edit_scope.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "engine/edit/edit_result.h"
#include "engine/project/project_options.h"

namespace pelko {

std::vector<int> editScope(const Project& project)
{
    std::vector<int> scope;
    for (int i : project.selection.indices())
        if (i >= 0 && i < project.frames.count())
            scope.push_back(i);
    if (scope.size() >= 2) {
        std::sort(scope.begin(), scope.end());
        scope.erase(std::unique(scope.begin(), scope.end()), scope.end());
        return scope;
    }
    scope.resize(project.frames.size());
    std::iota(scope.begin(), scope.end(), 0);
    return scope;
}

void selectRange(Project& project, int first, int last)
{
    const int count = project.frames.count();
    if (count == 0)
        throw EditError("the project has no frames");
    if (first < 1 || last < first || last > count)
        throw EditError("frames " + std::to_string(first) + "-" + std::to_string(last) +
                        " are not a range of the project's frames 1-" + std::to_string(count));
    std::vector<int> range(std::size_t(last - first + 1));
    std::iota(range.begin(), range.end(), first - 1);
    project.selection.assign(std::move(range));
}

int minFrameTime()
{
    return kMinFrameTime;
}

int maxFrameTime(const ProjectSettings& settings)
{
    return settings.isGif() ? kMaxGifFrameTime : kMaxAviFrameTime;
}

std::uint16_t clampFrameTime(std::int64_t ms, const ProjectSettings& settings)
{
    return std::uint16_t(std::clamp<std::int64_t>(ms, minFrameTime(), maxFrameTime(settings)));
}

}  // namespace pelko
