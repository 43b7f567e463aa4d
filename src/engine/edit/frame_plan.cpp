#include "engine/edit/frame_plan.h"

#include <algorithm>

namespace pelko {

void FramePlan::keep(int i, FrameRecord record)
{
    frames.push_back(std::move(record));
    if (i >= 0)
        newIndexOf[std::size_t(i)] = int(frames.size()) - 1;
}

void FramePlan::mergeIntoLast(int i)
{
    newIndexOf[std::size_t(i)] = int(frames.size()) - 1;
}

void FramePlan::keepWithTime(int old, FrameRecord record, std::int64_t total, int longest)
{
    longest = std::max(longest, 1);
    const std::int64_t first = std::min<std::int64_t>(total, longest);
    record.Time = std::uint16_t(std::max<std::int64_t>(first, 0));
    keep(old, record);
    for (std::int64_t left = total - first; left > 0; left -= longest) {
        record.Time = std::uint16_t(std::min<std::int64_t>(left, longest));
        frames.push_back(record);
    }
}

int applyFramePlan(Project& project, FramePlan plan)
{
    const int oldCount = project.frames.count();
    bool same = plan.frames.size() == project.frames.size();
    for (std::size_t i = 0; same && i < plan.frames.size(); ++i) same = plan.frames[i] == project.frames[i];
    if (same)
        return 0;

    std::vector<int> selection;
    for (int i : project.selection.indices()) {
        if (i < 0 || i >= oldCount)
            continue;
        const int to = plan.newIndexOf[std::size_t(i)];
        if (to >= 0 && std::find(selection.begin(), selection.end(), to) == selection.end())
            selection.push_back(to);
    }
    project.frames.clear();
    for (FrameRecord& f : plan.frames) project.frames.append(std::move(f));
    project.selection.assign(std::move(selection));
    project.changed = true;
    return std::max(0, oldCount - project.frames.count());
}

}  // namespace pelko
