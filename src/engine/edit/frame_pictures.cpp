#include "engine/edit/frame_pictures.h"

#include <atomic>
#include <map>
#include <mutex>

#include "engine/base/free_name_file.h"
#include "engine/base/parallel.h"
#include "engine/edit/edit_result.h"
#include "engine/image/png_picture.h"
#include "engine/image/resample.h"
#include "engine/project/composition.h"
#include "engine/project/frame_cache.h"

namespace pelko {

namespace {

std::string pictureKey(const Project& project, const FramePictureJob& job)
{
    std::string key = FrameCache::imageIdentity(project.frames[std::size_t(job.index)], project.settings);
    for (int v :
         {job.cut.left, job.cut.top, job.cut.width, job.cut.height, job.placed.width, job.placed.height})
        key += ' ' + std::to_string(v);
    return key;
}

std::vector<std::uint8_t> encodedPicture(const Project& project, const FramePictureJob& job)
{
    const FrameRecord& f = project.frames[std::size_t(job.index)];
    const FramePicture image = frameImage(project, job.index, false);
    if (!image.ok())
        throw EditError(frameFailureLine(project, job.index, image.status));
    const Picture shown = previewPicture(f, *image.picture);
    Picture cut(job.cut.width, job.cut.height);
    cut.draw(shown, -job.cut.left, -job.cut.top);
    if (job.placed.width != cut.width() || job.placed.height != cut.height())
        cut = resamplePicture(cut, job.placed.width, job.placed.height);
    return encodePngPicture(cut);
}

}  // namespace

FramePictureFiles writeFramePictures(const Project& project, const std::vector<FramePictureJob>& jobs,
                                     const std::string& folder, const std::string& base,
                                     ProgressSink& progress)
{
    FramePictureFiles files;
    // one picture for the jobs that would make the same one
    std::map<std::string, int> firstOf;
    std::vector<int> unique, pictureOf(jobs.size());
    for (std::size_t j = 0; j < jobs.size(); ++j) {
        auto [it, added] = firstOf.emplace(pictureKey(project, jobs[j]), int(unique.size()));
        if (added)
            unique.push_back(int(j));
        pictureOf[j] = it->second;
    }

    std::vector<std::vector<std::uint8_t>> encoded(unique.size());
    std::mutex progressMutex;
    int done = 0;
    std::atomic<bool> stop{false};
    parallelFor(int(unique.size()), workerCount(0), [&](int u) {
        if (stop || progress.cancelled()) {
            stop = true;
            return;
        }
        encoded[std::size_t(u)] = encodedPicture(project, jobs[std::size_t(unique[std::size_t(u)])]);
        std::lock_guard lock(progressMutex);
        progress.progress(++done * 100 / int(unique.size()));
    });
    if (stop) {
        files.cancelled = true;
        return files;
    }

    std::vector<std::string> written(unique.size());
    for (std::size_t u = 0; u < unique.size(); ++u) {
        written[u] = writeUnderFreeName(folder, base, ".png", encoded[u]);
        encoded[u] = {};
    }
    for (std::size_t j = 0; j < jobs.size(); ++j) files.paths.push_back(written[std::size_t(pictureOf[j])]);
    return files;
}

FrameRecord frameShowingFile(const FrameRecord& frame, const std::string& path, const Rect& placed)
{
    FrameRecord f = frame;
    f.File = path;
    f.Frame = 0;
    f.Flip = FlipNormal;
    f.Gray = false;
    f.Inverse = false;
    f.Stretch = false;
    f.Left = placed.left;
    f.Top = placed.top;
    f.Width = placed.width;
    f.Height = placed.height;
    return f;
}

}  // namespace pelko
