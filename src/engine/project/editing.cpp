#include "engine/project/editing.h"

#include <algorithm>

#include "engine/base/ordered_pipeline.h"
#include "engine/base/parallel.h"
#include "engine/image/file_kind.h"
#include "engine/project/frame_cache.h"
#include "engine/project/selected_frames.h"
#include "engine/project/source_loader.h"

namespace pelko {

namespace {

void selectLast(Project& project)
{
    if (!project.frames.empty())
        project.selection.selectOnly(project.frames.count() - 1);
}

// Reads the source at path into the project's cache (on a worker), so that
// adding its frames afterwards, in order, finds it there.
bool readAhead(Project& project, const std::string& path, SourceReader& reader)
{
    std::string error;
    if (hasExtension(path, ".gif"))
        return project.cache->gif(path, reader, error) != nullptr;
    return project.cache->still(path, reader, error) != nullptr;
}

EditResult appendFiles(Project& project, const std::vector<std::string>& paths, SourceReader& reader,
                       ProgressSink& progress, bool stopAtForeign)
{
    EditResult result;
    // the files a drop takes: up to the first of another kind
    std::size_t count = paths.size();
    if (stopAtForeign)
        count = std::size_t(std::find_if(paths.begin(), paths.end(),
                                         [](const std::string& p) { return !isSourceExtension(p); }) -
                            paths.begin());
    // Files are decoded on every core, a few ahead of the one being added;
    // each is added in list order as it comes.
    runInOrder<bool>(
        int(count), workerCount(0),
        [&](int i) {
            const std::string& path = paths[std::size_t(i)];
            return isSourceExtension(path) && !progress.cancelled() && readAhead(project, path, reader);
        },
        [&](int i, bool) {
            if (progress.cancelled()) {
                result.cancelled = true;
                return false;
            }
            const std::string& path = paths[std::size_t(i)];
            if (!isSourceExtension(path))
                return true;
            AddResult r = addSourceFile(project, path, project.frames.size(), reader);
            result.added += r.added;
            result.canvasChanged = result.canvasChanged || r.canvasChanged;
            result.errors.insert(result.errors.end(), r.errors.begin(), r.errors.end());
            progress.progress(int((std::size_t(i) + 1) * 100 / paths.size()));
            return true;
        });
    project.changed = true;
    if (!project.frames.empty()) {
        project.selection.clear();
        selectLast(project);
    }
    return result;
}

}  // namespace

EditResult addFiles(Project& project, const std::vector<std::string>& paths, SourceReader& reader,
                    ProgressSink& progress)
{
    return appendFiles(project, paths, reader, progress, false);
}

EditResult dropFiles(Project& project, const std::vector<std::string>& paths, SourceReader& reader,
                     ProgressSink& progress)
{
    return appendFiles(project, paths, reader, progress, true);
}

EditResult insertFiles(Project& project, const std::vector<std::string>& paths, SourceReader& reader,
                       ProgressSink& progress)
{
    EditResult result;
    const int p = project.selection.first();
    if (p < 0)
        return result;
    project.selection.clear();
    // inserted frames never set the canvas size
    const bool fix = project.settings.FixAtFirstFrame;
    project.settings.FixAtFirstFrame = false;
    int k = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (progress.cancelled()) {
            result.cancelled = true;
            break;
        }
        if (!isSourceExtension(paths[i]))
            continue;
        AddResult r = addSourceFile(project, paths[i], std::size_t(p + k), reader);
        k += r.added;
        result.errors.insert(result.errors.end(), r.errors.begin(), r.errors.end());
        progress.progress(int((i + 1) * 100 / paths.size()));
    }
    project.settings.FixAtFirstFrame = fix;
    result.added = k;
    project.selection.selectOnly(p + k);
    project.changed = true;
    return result;
}

void deleteSelected(Project& project)
{
    std::vector<int> doomed = project.selection.indices();
    project.selection.clear();
    std::sort(doomed.begin(), doomed.end(), std::greater<int>());
    for (int i : doomed)
        if (i >= 0 && i < project.frames.count())
            project.frames.erase(std::size_t(i));
    project.changed = true;
}

namespace {

bool exchangeWithNeighbour(Project& project, int step)
{
    const CommandEnabling e = commandEnabling(project);
    if ((step < 0 && !e.up) || (step > 0 && !e.down))
        return false;
    const int l = project.selection.first();
    const int m = l + step;
    project.selection.clear();
    FrameList& frames = project.frames;
    const std::uint16_t timeL = frames[std::size_t(l)].Time, timeM = frames[std::size_t(m)].Time;
    frames.exchange(std::size_t(l), std::size_t(m));
    if (!project.settings.isGif()) {
        // an AVI project's times belong to the positions (they are all equal)
        frames[std::size_t(l)].Time = timeL;
        frames[std::size_t(m)].Time = timeM;
    }
    project.changed = true;
    project.selection.selectOnly(m);
    return true;
}

}  // namespace

bool moveUp(Project& project)
{
    return exchangeWithNeighbour(project, -1);
}
bool moveDown(Project& project)
{
    return exchangeWithNeighbour(project, +1);
}

void selectAll(Project& project)
{
    project.selection.selectAll(project.frames.count());
}

int clickCard(Project& project, int index, bool addModifier, bool rightButton)
{
    Selection& sel = project.selection;
    if (index < 0 || index >= project.frames.count())
        return sel.first();
    if (!addModifier && !rightButton)
        sel.clear();
    if (sel.contains(index)) {
        if (!rightButton)
            sel.remove(index);
        return sel.first();
    }
    if (rightButton)
        sel.clear();
    sel.add(index);
    return sel.first();
}

void clickEmptyStrip(Project& project)
{
    project.selection.clear();
}

EditResult refreshSelected(Project& project, SourceReader& reader, ProgressSink& progress)
{
    EditResult result;
    SourceLoader loader(*project.cache, reader, SourceCommand::Refresh);
    forEachSelectedFrame(project, progress, [&](int i, FrameRecord& f) {
        const RenderOutcome r = loader.check(f, i + 1, project.settings);
        if (!r.logLine.empty())
            project.log.add(r.logLine);
    });
    result.errors = loader.errors();
    project.changed = true;
    return result;
}

void dropPreviewFrame(Project& project, Point place)
{
    const int i = project.selection.first();
    if (i < 0)
        return;
    FrameRecord& f = project.frames[std::size_t(i)];
    if (f.Left != place.x || f.Top != place.y) {
        f.Left = place.x;
        f.Top = place.y;
        project.changed = true;
    }
}

}  // namespace pelko
