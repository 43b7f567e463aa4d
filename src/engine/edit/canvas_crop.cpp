#include "engine/edit/canvas_crop.h"

#include <algorithm>

#include "engine/edit/frame_pictures.h"
#include "engine/edit/frame_plan.h"
#include "engine/edit/repeated_frames.h"
#include "engine/project/project_options.h"

namespace pelko {

namespace {

Rect intersection(const Rect& a, const Rect& b)
{
    const int left = std::max(a.left, b.left), top = std::max(a.top, b.top);
    const int right = std::min(a.left + a.width, b.left + b.width);
    const int bottom = std::min(a.top + a.height, b.top + b.height);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

}  // namespace

EditToolResult cropCanvas(Project& project, const Rect& crop, const std::string& workFolder,
                          ProgressSink& progress)
{
    const ProjectSettings& s = project.settings;
    if (crop.left < 0 || crop.top < 0 || crop.width < kMinCanvasSide || crop.height < kMinCanvasSide ||
        std::int64_t(crop.left) + crop.width > s.Width || std::int64_t(crop.top) + crop.height > s.Height)
        throw EditError("the crop " + std::to_string(crop.left) + "," + std::to_string(crop.top) + "," +
                        std::to_string(crop.width) + "," + std::to_string(crop.height) +
                        " is not inside the canvas of " + std::to_string(s.Width) + " x " +
                        std::to_string(s.Height) + " (each side at least " + std::to_string(kMinCanvasSide) +
                        ")");

    // what becomes of each frame: moved, a new picture, or gone
    enum class Fate { Moved, Picture, Gone };
    std::vector<Fate> fate(project.frames.size(), Fate::Moved);
    std::vector<FramePictureJob> jobs;
    for (int i = 0; i < project.frames.count(); ++i) {
        const FrameRecord& f = project.frames[std::size_t(i)];
        const Rect shown = intersection({f.Left, f.Top, f.Width, f.Height}, crop);
        if (shown.width == 0 || shown.height == 0) {
            fate[std::size_t(i)] = Fate::Gone;
        } else if (f.Stretch || f.Left < crop.left || f.Top < crop.top) {
            fate[std::size_t(i)] = Fate::Picture;
            jobs.push_back({i,
                            {shown.left - f.Left, shown.top - f.Top, shown.width, shown.height},
                            {shown.left - crop.left, shown.top - crop.top, shown.width, shown.height}});
        }
    }
    const FramePictureFiles files = writeFramePictures(project, jobs, workFolder, "Crop", progress);
    EditToolResult result;
    if (files.cancelled) {
        result.cancelled = true;
        return result;
    }

    const bool gif = s.isGif();
    FramePlan plan(project.frames.size());
    std::size_t job = 0;
    std::int64_t owed = 0;  // the time of gone frames before the first kept one
    for (int i = 0; i < project.frames.count(); ++i) {
        FrameRecord f = project.frames[std::size_t(i)];
        switch (fate[std::size_t(i)]) {
            case Fate::Gone:
                if (plan.frames.empty()) {
                    owed += f.Time;
                } else {
                    plan.mergeIntoLast(i);
                    if (gif)
                        plan.frames.back().Time = std::uint16_t(
                            std::min<std::int64_t>(std::int64_t(plan.frames.back().Time) + f.Time, 65535));
                }
                continue;
            case Fate::Picture:
                f = frameShowingFile(f, files.paths[job], jobs[job].placed);
                ++job;
                break;
            case Fate::Moved:
                f.Left -= crop.left;
                f.Top -= crop.top;
                break;
        }
        if (gif && plan.frames.empty())
            f.Time = std::uint16_t(std::min<std::int64_t>(f.Time + owed, 65535));
        plan.keep(i, std::move(f));
    }
    project.settings.Width = crop.width;
    project.settings.Height = crop.height;
    project.changed = true;
    const int before = project.frames.count();
    applyFramePlan(project, std::move(plan));
    result.removed = before - project.frames.count();
    result.changed = int(jobs.size());
    for (int i = 0; i < before; ++i)
        if (fate[std::size_t(i)] == Fate::Moved && (crop.left != 0 || crop.top != 0))
            ++result.changed;
    result.note = aviDropNote(project.settings, result.removed);
    return result;
}

}  // namespace pelko
