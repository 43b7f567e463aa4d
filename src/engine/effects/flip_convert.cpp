#include "engine/effects/flip_convert.h"

#include "engine/image/picture_effects.h"
#include "engine/project/selected_frames.h"
#include "engine/project/source_loader.h"

namespace pelko {
namespace {

// Whether frame i can be rendered again from its source with mirror `flip`
// and the given colour effects; false (and a log line) when not, the frame
// as it was. Its pixels are rendered when they are shown.
bool renderableFromSource(Project& project, int i, int flip, bool grey, bool inverse, SourceLoader& loader)
{
    FrameRecord draft = project.frames[std::size_t(i)];
    draft.Flip = flip;
    draft.Gray = grey;
    draft.Inverse = inverse;
    const RenderOutcome r = loader.check(draft, i + 1, project.settings);
    if (!r.ok()) {
        if (!r.logLine.empty())
            project.log.add(r.logLine);
        return false;
    }
    return true;
}

// Inverse and GreyScale need no source: the frame is rendered with its new
// flag from its source like any other. A frame whose source has gone cannot
// be, so the picture it shows now, with the effect applied, is pinned as its
// picture under the new flag.
template <class Effect>
void setColourEffect(Project& project, int i, bool FrameRecord::*flag, Effect effect)
{
    FrameRecord& f = project.frames[std::size_t(i)];
    FrameCache& cache = *project.cache;
    if (cache.fileExists(f.File)) {
        f.*flag = true;
        return;
    }
    const FramePicture now = cache.image(f, project.settings, i + 1);
    f.*flag = true;
    if (now.ok()) {
        Picture changed = *now.picture;
        effect(changed);
        cache.pin(f, project.settings, std::move(changed));
    }
}

}  // namespace

EffectResult flipSelected(Project& project, int mode, SourceReader& reader, ProgressSink& progress)
{
    EffectResult result;
    SourceLoader loader(*project.cache, reader, SourceCommand::FlipConvert);
    forEachSelectedFrame(project, progress, [&](int i, FrameRecord& f) {
        if (f.Flip == mode || !renderableFromSource(project, i, mode, f.Gray, f.Inverse, loader))
            return;
        f.Flip = mode;
        ++result.changedFrames;
    });
    result.errors = loader.errors();
    project.changed = true;
    return result;
}

EffectResult convertSelected(Project& project, ConvertMode mode, SourceReader& reader, ProgressSink& progress)
{
    EffectResult result;
    SourceLoader loader(*project.cache, reader, SourceCommand::FlipConvert);
    forEachSelectedFrame(project, progress, [&](int i, FrameRecord& f) {
        switch (mode) {
            case ConvertMode::Normal:
                if (!f.Inverse && !f.Gray)
                    return;
                if (!renderableFromSource(project, i, f.Flip, false, false, loader))
                    return;
                f.Inverse = false;
                f.Gray = false;
                break;
            case ConvertMode::Inverse:
                if (f.Inverse)
                    return;
                setColourEffect(project, i, &FrameRecord::Inverse, invertPicture);
                break;
            case ConvertMode::GreyScale:
                if (f.Inverse)
                    return;  // an inverted frame is never greyed: convert it to Normal first
                setColourEffect(project, i, &FrameRecord::Gray, greyPicture);
                break;
        }
        ++result.changedFrames;
    });
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
