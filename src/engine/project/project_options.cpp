#include "engine/project/project_options.h"

#include <algorithm>

#include "engine/project/source_loader.h"

namespace pelko {

ProjectOptions projectOptionsForDialog(const Project& project, bool newProject,
                                       const DefaultFrameSize& defaults)
{
    const ProjectSettings& s = project.settings;
    ProjectOptions o;
    o.Stretch = s.Stretch;
    o.Type = s.Type;
    o.FixAtFirstFrame = newProject && s.FixAtFirstFrame;
    if (newProject) {
        o.Width = defaults.width;
        o.Height = defaults.height;
        o.AviFrameTime = 1000;
        o.GifFrameTime = 500;
    } else {
        o.Width = s.Width;
        o.Height = s.Height;
        o.AviFrameTime = s.AviFrameTime;
        o.GifFrameTime = s.GifFrameTime;
    }
    return o;
}

ProjectOptions defaultProjectOptions(const DefaultFrameSize& defaults, bool fixAtFirstFrame)
{
    ProjectOptions o;
    o.Width = defaults.width;
    o.Height = defaults.height;
    o.FixAtFirstFrame = fixAtFirstFrame;
    return o;
}

bool storeProjectOptions(ProjectSettings& s, const ProjectOptions& o)
{
    const bool changed =
        !(o.Width == s.Width && o.Height == s.Height && o.Stretch == s.Stretch && o.Type == s.Type);
    s.Stretch = o.Stretch;
    s.Type = o.Type;
    s.FixAtFirstFrame = o.FixAtFirstFrame;
    if (!o.FixAtFirstFrame) {
        s.Width = o.Width;
        s.Height = o.Height;
    }
    s.AviFrameTime = o.AviFrameTime;
    s.GifFrameTime = std::uint16_t(std::clamp(o.GifFrameTime, 0, 65535));
    return changed;
}

ProjectOptionsResult applyProjectOptions(Project& project, const ProjectOptions& options,
                                         SourceReader& reader, ProgressSink& progress)
{
    ProjectOptionsResult result;
    ProjectSettings& s = project.settings;
    const ProjectSettings before = s;
    result.optionsChanged = storeProjectOptions(s, options);
    if (before.AviFrameTime != s.AviFrameTime || before.GifFrameTime != s.GifFrameTime)
        project.changed = true;

    if (!s.isGif())
        for (FrameRecord& f : project.frames) f.Time = std::uint16_t(std::clamp(s.AviFrameTime, 0, 65535));
    if (!result.optionsChanged)
        return result;

    result.rendered = true;
    project.log.clear();
    project.selection.clear();
    SourceLoader loader(*project.cache, reader, SourceCommand::ProjectOptions);
    const int n = project.frames.count();
    for (int i = 0; i < n; ++i) {
        FrameRecord& f = project.frames[std::size_t(i)];
        // An AVI project places every frame with the project's scaling, a GIF
        // project with each frame's own.
        ProjectSettings placing = s;
        if (s.isGif())
            placing.Stretch = f.Stretch;
        const RenderOutcome r = loader.check(f, i + 1, s, &placing);
        if (!r.logLine.empty())
            project.log.add(r.logLine);
        progress.progress((i + 1) * 100 / n);
    }
    result.errors = loader.errors();
    project.changed = true;
    if (!project.frames.empty())
        project.selection.selectOnly(0);
    return result;
}

void newProject(Project& project, const ProjectOptions& options)
{
    project.clear();
    storeProjectOptions(project.settings, options);
    project.path.clear();
    project.changed = true;
}

}  // namespace pelko
