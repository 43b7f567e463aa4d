#include "engine/project/frame_options.h"

#include <algorithm>

#include "engine/project/selected_frames.h"
#include "engine/project/source_loader.h"

namespace pelko {

std::string frameOptionsCaption(const Selection& selection)
{
    if (selection.count() == 1)
        return "Frame " + std::to_string(selection.first() + 1);
    std::vector<int> sorted = selection.indices();
    std::sort(sorted.begin(), sorted.end());
    std::string caption = "Frames:";
    for (int i : sorted) caption += " " + std::to_string(i + 1) + ",";
    if (caption.back() == ',')
        caption.pop_back();
    return caption;
}

FrameOptionsValues frameOptionsFromFrame(const FrameRecord& f)
{
    return {f.Time, f.Left, f.Top, f.Width, f.Height, f.Stretch};
}

FrameOptionsMarks initialFrameOptionsMarks(const Selection& selection)
{
    const bool one = selection.count() == 1;
    return {one, one, one, one, one, one};
}

Point centredPlacement(int canvasWidth, int canvasHeight, int width, int height)
{
    return {(canvasWidth - width) / 2, (canvasHeight - height) / 2};
}

bool confirmFrameOptions(PendingFrameOptions& pending, const FrameOptionsValues& dialog,
                         const FrameOptionsMarks& marks, ProjectSettings& settings)
{
    const FrameOptionsValues& prev = pending.values;
    bool changed = dialog.left != prev.left || dialog.top != prev.top || dialog.width != prev.width ||
                   dialog.height != prev.height;
    if (settings.isGif())
        changed = changed || dialog.time != prev.time;
    else
        changed = changed || dialog.time != settings.AviFrameTime;

    pending.flags = {};
    if (marks.time) {
        if (settings.isGif())
            pending.values.time = dialog.time;
        else
            settings.AviFrameTime = dialog.time;
        pending.flags.time = true;
    }
    if (marks.left) {
        pending.values.left = dialog.left;
        pending.flags.left = true;
    }
    if (marks.top) {
        pending.values.top = dialog.top;
        pending.flags.top = true;
    }
    if (marks.width) {
        pending.values.width = dialog.width;
        pending.flags.width = true;
    }
    if (marks.height) {
        pending.values.height = dialog.height;
        pending.flags.height = true;
    }
    if (marks.stretch) {
        pending.values.stretch = dialog.stretch;
        pending.flags.stretch = true;
    }
    return changed;
}

EditResult applyFrameOptions(Project& project, const PendingFrameOptions& pending, bool optionsChanged,
                             SourceReader& reader, ProgressSink& progress)
{
    EditResult result;
    const ProjectSettings& s = project.settings;
    const PendingFrameOptions& p = pending;
    bool frameChanged = false;
    auto setTime = [&](FrameRecord& f, int t) {
        const std::uint16_t v = std::uint16_t(std::clamp(t, 0, 65535));
        frameChanged = frameChanged || f.Time != v;
        f.Time = v;
    };
    if (!s.isGif() && p.flags.time)
        for (FrameRecord& f : project.frames) setTime(f, s.AviFrameTime);

    SourceLoader loader(*project.cache, reader, SourceCommand::FrameOptions);
    forEachSelectedFrame(project, progress, [&](int i, FrameRecord& f) {
        if (s.isGif() && p.flags.time)
            setTime(f, p.values.time);
        const FrameOptionsValues before = frameOptionsFromFrame(f);
        if (p.flags.left)
            f.Left = p.values.left;
        if (p.flags.top)
            f.Top = p.values.top;
        if (p.flags.width)
            f.Width = p.values.width;
        if (p.flags.height)
            f.Height = p.values.height;
        if (p.flags.stretch)
            f.Stretch = p.values.stretch;
        frameChanged = frameChanged || before.left != f.Left || before.top != f.Top ||
                       before.width != f.Width || before.height != f.Height || before.stretch != f.Stretch;
        if (!p.flags.placement())
            return;
        const RenderOutcome r = loader.check(f, i + 1, s);
        if (!r.logLine.empty())
            project.log.add(r.logLine);
    });
    result.errors = loader.errors();
    if (optionsChanged || frameChanged)
        project.changed = true;
    return result;
}

}  // namespace pelko
