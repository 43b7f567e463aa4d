#include "engine/edit/repeated_frames.h"

#include <algorithm>

#include "engine/edit/edit_scope.h"
#include "engine/edit/frame_likeness.h"
#include "engine/edit/frame_plan.h"

namespace pelko {

namespace {

// The longest time a merged frame takes: the longest allowed, or longer when
// one of the frames merged was already longer.
int longestTime(const Project& project, int from, int to)
{
    int longest = maxFrameTime(project.settings);
    for (int i = from; i <= to; ++i) longest = std::max<int>(longest, project.frames[std::size_t(i)].Time);
    return longest;
}

std::int64_t timeSum(const Project& project, int from, int to)
{
    std::int64_t sum = 0;
    for (int i = from; i <= to; ++i) sum += project.frames[std::size_t(i)].Time;
    return sum;
}

// Keeps the frames of the list except those of [from, to] other than kept,
// which stands for all of them (with their summed time in a GIF project).
// merges: [from, to, kept] list indices.
struct Merge {
    int from, to, kept;
};

EditToolResult applyMerges(Project& project, const std::vector<Merge>& merges)
{
    EditToolResult result;
    const bool gif = project.settings.isGif();
    FramePlan plan(project.frames.size());
    std::size_t m = 0;
    for (int i = 0; i < project.frames.count(); ++i) {
        if (m < merges.size() && i == merges[m].from) {
            const Merge& g = merges[m++];
            FrameRecord kept = project.frames[std::size_t(g.kept)];
            if (gif)
                plan.keepWithTime(g.kept, kept, timeSum(project, g.from, g.to),
                                  longestTime(project, g.from, g.to));
            else
                plan.keep(g.kept, kept);
            const int at = plan.newIndexOf[std::size_t(g.kept)];
            for (int j = g.from; j <= g.to; ++j) plan.newIndexOf[std::size_t(j)] = at;
            i = g.to;
            continue;
        }
        plan.keep(i, project.frames[std::size_t(i)]);
    }
    const int before = project.frames.count();
    applyFramePlan(project, std::move(plan));
    result.removed = std::max(0, before - project.frames.count());
    result.added = std::max(0, project.frames.count() - before);
    result.note = aviDropNote(project.settings, result.removed);
    return result;
}

}  // namespace

std::string aviDropNote(const ProjectSettings& settings, int dropped)
{
    if (settings.isGif() || dropped <= 0)
        return {};
    const std::int64_t ms = std::int64_t(dropped) * settings.AviFrameTime;
    return "Dropped " + std::to_string(dropped) + (dropped == 1 ? " frame" : " frames") +
           ": every frame of an AVI lasts the AVI frame time (" + std::to_string(settings.AviFrameTime) +
           " msec), so the animation is " + std::to_string(ms) + " msec shorter.";
}

EditToolResult trimRepeats(Project& project, int tolerance, ProgressSink& progress)
{
    const std::vector<int> scope = editScope(project);
    const int n = int(scope.size());
    if (n < 2)
        return {};
    FrameComparer comparer(project);
    auto linked = [&](int k) {  // position k and k + 1
        const int a = scope[std::size_t(k)], b = scope[std::size_t(k + 1)];
        return b == a + 1 && comparer.alike(a, b, tolerance);
    };
    int first = 0;
    while (first + 1 < n && !progress.cancelled() && linked(first)) ++first;
    int last = n - 1;
    while (last - 1 > first && !progress.cancelled() && linked(last - 1)) --last;
    progress.progress(100);
    if (progress.cancelled()) {
        EditToolResult r;
        r.cancelled = true;
        return r;
    }
    std::vector<Merge> merges;
    if (first > 0)
        merges.push_back({scope[0], scope[std::size_t(first)], scope[std::size_t(first)]});
    if (last < n - 1)
        merges.push_back({scope[std::size_t(last)], scope[std::size_t(n - 1)], scope[std::size_t(last)]});
    EditToolResult result = applyMerges(project, merges);
    result.problems = comparer.problems();
    return result;
}

EditToolResult dedupeRepeats(Project& project, int tolerance, ProgressSink& progress)
{
    const std::vector<int> scope = editScope(project);
    RepeatRuns runs = findRepeatRuns(project, scope, tolerance, progress);
    if (runs.cancelled) {
        EditToolResult r;
        r.cancelled = true;
        return r;
    }
    std::vector<Merge> merges;
    for (int k = 1; k < int(scope.size()); ++k) {
        const int start = runs.runStart[std::size_t(k)];
        if (start == k)
            continue;
        const int first = scope[std::size_t(start)];
        if (!merges.empty() && merges.back().from == first)
            merges.back().to = scope[std::size_t(k)];
        else
            merges.push_back({first, scope[std::size_t(k)], first});
    }
    EditToolResult result = applyMerges(project, merges);
    result.problems = std::move(runs.problems);
    return result;
}

}  // namespace pelko
