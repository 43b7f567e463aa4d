#include "engine/effects/flip_convert.h"

#include "engine/image/picture_effects.h"
#include "engine/project/source_loader.h"

namespace pelko {
namespace {

// Renders frame i again from its source with mirror `flip` and the given
// colour effects; false (and a log line) when that fails, the frame as it was.
bool renderFromSource(Project& project, int i, int flip, bool grey, bool inverse, SourceLoader& loader)
{
    FrameRecord& f = project.frames[std::size_t(i)];
    FrameRecord draft;
    draft.File = f.File;
    draft.Frame = f.Frame;
    draft.Width = f.Width;
    draft.Height = f.Height;
    draft.Stretch = f.Stretch;
    draft.Flip = flip;
    draft.Gray = grey;
    draft.Inverse = inverse;
    const RenderOutcome r = loader.render(draft, i + 1, project.settings);
    if (!r.ok()) {
        if (!r.logLine.empty())
            project.log.add(r.logLine);
        return false;
    }
    f.image = std::move(draft.image);
    return true;
}

}  // namespace

EffectResult flipSelected(Project& project, int mode, SourceReader& reader, ProgressSink& progress)
{
    EffectResult result;
    SourceLoader loader(reader, SourceCommand::FlipConvert);
    const std::vector<int>& selected = project.selection.indices();
    int done = 0;
    for (int i : selected) {
        const ProgressStep step(progress, done, int(selected.size()));
        if (i < 0 || i >= project.frames.count())
            continue;
        FrameRecord& f = project.frames[std::size_t(i)];
        if (f.Flip == mode)
            continue;
        if (!renderFromSource(project, i, mode, f.Gray, f.Inverse, loader))
            continue;
        f.Flip = mode;
        ++result.changedFrames;
    }
    result.errors = loader.errors();
    project.changed = true;
    return result;
}

EffectResult convertSelected(Project& project, ConvertMode mode, SourceReader& reader, ProgressSink& progress)
{
    EffectResult result;
    SourceLoader loader(reader, SourceCommand::FlipConvert);
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
                if (!renderFromSource(project, i, f.Flip, false, false, loader))
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
    result.errors = loader.errors();
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
