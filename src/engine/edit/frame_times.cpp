#include "engine/edit/frame_times.h"

#include <algorithm>
#include <cmath>

#include "engine/edit/edit_scope.h"
#include "engine/edit/frame_plan.h"
#include "engine/edit/repeated_frames.h"

namespace pelko {

namespace {

// Every frame's time in an AVI project, which shares one.
EditToolResult setAviTime(Project& project, std::int64_t ms)
{
    EditToolResult result;
    const std::uint16_t t = clampFrameTime(ms, project.settings);
    if (project.settings.AviFrameTime != t) {
        project.settings.AviFrameTime = t;
        project.changed = true;
    }
    for (FrameRecord& f : project.frames)
        if (f.Time != t) {
            f.Time = t;
            ++result.changed;
            project.changed = true;
        }
    return result;
}

template <class NewTime>
EditToolResult retimeScope(Project& project, NewTime newTime)
{
    EditToolResult result;
    for (int i : editScope(project)) {
        FrameRecord& f = project.frames[std::size_t(i)];
        const std::uint16_t t = clampFrameTime(newTime(f.Time), project.settings);
        if (f.Time != t) {
            f.Time = t;
            ++result.changed;
        }
    }
    if (result.changed > 0)
        project.changed = true;
    return result;
}

std::int64_t scaled(std::int64_t ms, int percent)
{
    return (ms * percent + 50) / 100;
}

}  // namespace

EditToolResult scaleTimes(Project& project, int percent)
{
    if (percent < kMinSpeedPercent || percent > kMaxSpeedPercent)
        throw EditError("the percentage " + std::to_string(percent) + " is not between " +
                        std::to_string(kMinSpeedPercent) + " and " + std::to_string(kMaxSpeedPercent));
    if (!project.settings.isGif())
        return setAviTime(project, scaled(project.settings.AviFrameTime, percent));
    return retimeScope(project, [&](std::int64_t t) { return scaled(t, percent); });
}

EditToolResult setTimes(Project& project, int ms)
{
    if (ms < minFrameTime() || ms > maxFrameTime(project.settings))
        throw EditError("the time " + std::to_string(ms) + " msec is not between " +
                        std::to_string(minFrameTime()) + " and " +
                        std::to_string(maxFrameTime(project.settings)));
    if (!project.settings.isGif())
        return setAviTime(project, ms);
    return retimeScope(project, [&](std::int64_t) { return ms; });
}

EditToolResult dropEveryNth(Project& project, int n)
{
    if (n < 2)
        throw EditError("every " + std::to_string(n) +
                        "th frame cannot be dropped: the number must be 2 or more");
    const std::vector<int> scope = editScope(project);
    std::vector<char> dropped(project.frames.size(), 0);
    for (std::size_t k = std::size_t(n) - 1; k < scope.size(); k += std::size_t(n))
        dropped[std::size_t(scope[k])] = 1;

    EditToolResult result;
    FramePlan plan(project.frames.size());
    const bool gif = project.settings.isGif();
    for (int i = 0; i < project.frames.count(); ++i) {
        const FrameRecord& f = project.frames[std::size_t(i)];
        if (!dropped[std::size_t(i)] || plan.frames.empty()) {
            plan.keep(i, f);
            continue;
        }
        plan.mergeIntoLast(i);
        if (gif) {
            FrameRecord& before = plan.frames.back();
            const int longest = std::max<int>({maxFrameTime(project.settings), before.Time, f.Time});
            before.Time = std::uint16_t(std::min<std::int64_t>(std::int64_t(before.Time) + f.Time, longest));
        }
    }
    result.removed = applyFramePlan(project, std::move(plan));
    result.note = aviDropNote(project.settings, result.removed);
    return result;
}

}  // namespace pelko
