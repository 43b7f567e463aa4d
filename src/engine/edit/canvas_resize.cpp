#include "engine/edit/canvas_resize.h"

#include <cmath>

#include "engine/edit/frame_pictures.h"
#include "engine/project/project_options.h"

namespace pelko {

namespace {

// A coordinate of the old canvas on the new one.
int scaledEdge(int v, int newSide, int oldSide)
{
    return int(std::llround(double(v) * newSide / oldSide));
}

}  // namespace

EditToolResult resizeAnimation(Project& project, int width, int height, const std::string& workFolder,
                               ProgressSink& progress)
{
    if (width < kMinCanvasSide || height < kMinCanvasSide || width > kMaxCanvasSide ||
        height > kMaxCanvasSide)
        throw EditError("the size " + std::to_string(width) + " x " + std::to_string(height) +
                        " is not a canvas size (each side " + std::to_string(kMinCanvasSide) + " to " +
                        std::to_string(kMaxCanvasSide) + ")");
    EditToolResult result;
    const ProjectSettings& s = project.settings;
    if (width == s.Width && height == s.Height)
        return result;
    const int oldWidth = std::max(1, s.Width), oldHeight = std::max(1, s.Height);

    std::vector<FramePictureJob> jobs;
    for (int i = 0; i < project.frames.count(); ++i) {
        const FrameRecord& f = project.frames[std::size_t(i)];
        if (f.Width <= 0 || f.Height <= 0)
            continue;  // shows nothing: only its place scales
        const int left = scaledEdge(f.Left, width, oldWidth), top = scaledEdge(f.Top, height, oldHeight);
        const int right = scaledEdge(f.Left + f.Width, width, oldWidth);
        const int bottom = scaledEdge(f.Top + f.Height, height, oldHeight);
        jobs.push_back({i,
                        {0, 0, f.Width, f.Height},
                        {left, top, std::max(1, right - left), std::max(1, bottom - top)}});
    }
    const FramePictureFiles files = writeFramePictures(project, jobs, workFolder, "Resize", progress);
    if (files.cancelled) {
        result.cancelled = true;
        return result;
    }
    std::size_t job = 0;
    for (int i = 0; i < project.frames.count(); ++i) {
        FrameRecord& f = project.frames[std::size_t(i)];
        if (job < jobs.size() && jobs[job].index == i) {
            f = frameShowingFile(f, files.paths[job], jobs[job].placed);
            ++job;
        } else {
            f.Left = scaledEdge(f.Left, width, oldWidth);
            f.Top = scaledEdge(f.Top, height, oldHeight);
        }
        ++result.changed;
    }
    project.settings.Width = width;
    project.settings.Height = height;
    project.changed = true;
    return result;
}

}  // namespace pelko
