#include "engine/effects/flip_convert.h"

#include "engine/image/file_kind.h"
#include "engine/image/picture_effects.h"
#include "engine/project/frame_render.h"

namespace pelko {
namespace {

// Renders frame f again from its source with mirror `flip`; false (and a log
// line) when the source cannot be read.
bool renderFromSource(Project& project, FrameRecord& f, int flip, SourceLoader& loader, EffectResult& result)
{
    LoadedSource src = loader.load(f.File, f.Frame);
    if (!src.error.empty())
        result.errors.push_back(src.error);
    switch (src.status) {
        case SourceStatus::MissingFile:
            project.log.add("Not found file: " + f.File);
            return false;
        case SourceStatus::MissingFrame:
        case SourceStatus::EmptyFrame:
            project.log.add(notFoundFrameLine(f, false));
            return false;
        case SourceStatus::Unreadable:
            if (hasExtension(f.File, ".gif"))
                project.log.add(notFoundFrameLine(f, false));
            else
                project.log.add("Cannot create bitmap from " + f.File);
            return false;
        case SourceStatus::Ok:
            break;
    }
    FrameRecord draft;
    draft.Width = f.Width;
    draft.Height = f.Height;
    draft.Stretch = f.Stretch;
    draft.Flip = flip;
    renderFrame(draft, src.picture, project.settings);  // compose and mirror; effects follow below
    f.image = std::move(draft.image);
    return true;
}

}  // namespace

EffectResult flipSelected(Project& project, int mode, SourceReader& reader, ProgressSink& progress)
{
    EffectResult result;
    SourceLoader loader(reader);
    const std::vector<int>& selected = project.selection.indices();
    int done = 0;
    for (int i : selected) {
        const ProgressStep step(progress, done, int(selected.size()));
        if (i < 0 || i >= project.frames.count())
            continue;
        FrameRecord& f = project.frames[std::size_t(i)];
        if (f.Flip == mode)
            continue;
        if (!renderFromSource(project, f, mode, loader, result))
            continue;
        f.Flip = mode;
        if (f.Gray)
            greyPicture(f.image);
        if (f.Inverse)
            invertPicture(f.image);
        ++result.changedFrames;
    }
    project.changed = true;
    return result;
}

EffectResult convertSelected(Project& project, ConvertMode mode, SourceReader& reader, ProgressSink& progress)
{
    EffectResult result;
    SourceLoader loader(reader);
    const std::vector<int>& selected = project.selection.indices();
    int done = 0;
    for (int i : selected) {
        const ProgressStep step(progress, done, int(selected.size()));
        if (i < 0 || i >= project.frames.count())
            continue;
        FrameRecord& f = project.frames[std::size_t(i)];
        switch (mode) {
            case ConvertMode::Normal:
                if (!f.Inverse && !f.Gray)
                    continue;
                if (!renderFromSource(project, f, f.Flip, loader, result))
                    continue;
                f.Inverse = false;
                f.Gray = false;
                break;
            case ConvertMode::Inverse:
                if (f.Inverse)
                    continue;
                invertPicture(f.image);
                f.Inverse = true;
                break;
            case ConvertMode::GreyScale:
                if (f.Inverse)
                    continue;  // an inverted frame is never greyed: convert it to Normal first
                greyPicture(f.image);
                f.Gray = true;
                break;
        }
        ++result.changedFrames;
    }
    project.changed = true;
    return result;
}

EffectMarks effectMarks(const FrameRecord& f)
{
    EffectMarks m;
    m.flip = f.Flip;
    m.normal = !f.Inverse && !f.Gray;
    m.inverse = f.Inverse;
    m.grey = f.Gray;
    return m;
}

}  // namespace pelko
