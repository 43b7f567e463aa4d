#include "engine/edit/frame_likeness.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "engine/base/parallel.h"
#include "engine/gif/gif_types.h"
#include "engine/project/frame_cache.h"

namespace pelko {

bool sameFrameFields(const FrameRecord& a, const FrameRecord& b)
{
    const int disposal = a.Gif.DisposalMethod & 7;
    const bool revealsUnder = a.Gif.GIFTransparent && (disposal == dmBackground || disposal == dmPrevious);
    return a.Left == b.Left && a.Top == b.Top && a.Width == b.Width && a.Height == b.Height &&
           a.Gif == b.Gif && !revealsUnder;
}

bool picturesAlike(const Picture& a, const Picture& b, int tolerance)
{
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    if (tolerance <= 0)
        return a.byteSize() == 0 || std::memcmp(a.data(), b.data(), a.byteSize()) == 0;
    const std::size_t n = a.stride();
    for (int y = 0; y < a.height(); ++y) {
        const std::uint8_t* p = a.row(y);
        const std::uint8_t* q = b.row(y);
        std::uint8_t most = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t d = p[i] > q[i] ? std::uint8_t(p[i] - q[i]) : std::uint8_t(q[i] - p[i]);
            most = std::max(most, d);
        }
        if (most > tolerance)
            return false;
    }
    return true;
}

namespace {

// The frames of one stretch of the scope, rendered one after the other; the
// last picture rendered is kept for the next comparison.
class Renderer {
public:
    Renderer(const Project& project, std::vector<std::string>& problems, std::mutex& problemsMutex)
        : project_(project), problems_(problems), mutex_(problemsMutex)
    {
    }

    // The picture of frame index, or null when it cannot be rendered.
    PicturePtr picture(int index)
    {
        for (const Held& h : held_)
            if (h.index == index)
                return h.picture;
        const FramePicture image = frameImage(project_, index, false);
        if (!image.ok()) {
            std::lock_guard lock(mutex_);
            const std::string line = frameFailureLine(project_, index, image.status);
            if (std::find(problems_.begin(), problems_.end(), line) == problems_.end())
                problems_.push_back(line);
        }
        held_[older_] = {index, image.picture};
        older_ ^= 1;
        return image.picture;
    }

    bool alike(int a, int b, int tolerance)
    {
        const FrameRecord& fa = project_.frames[std::size_t(a)];
        const FrameRecord& fb = project_.frames[std::size_t(b)];
        if (!sameFrameFields(fa, fb))
            return false;
        if (FrameCache::imageIdentity(fa, project_.settings) ==
            FrameCache::imageIdentity(fb, project_.settings))
            return project_.cache->fileExists(fa.File) || picture(a) != nullptr;
        const PicturePtr pa = picture(a);
        if (!pa)
            return false;
        const PicturePtr pb = picture(b);
        return pb && picturesAlike(*pa, *pb, tolerance);
    }

private:
    const Project& project_;
    std::vector<std::string>& problems_;
    std::mutex& mutex_;
    // the two pictures rendered last, for a walk in either direction
    struct Held {
        int index = -1;
        PicturePtr picture;
    };
    Held held_[2];
    int older_ = 0;
};

// Reports the frames compared from any thread, in order of the counts.
class SharedProgress {
public:
    SharedProgress(ProgressSink& sink, int total) : sink_(sink), total_(std::max(total, 1)) {}
    void step()
    {
        std::lock_guard lock(mutex_);
        sink_.progress(++done_ * 100 / total_);
    }
    bool cancelled() const { return sink_.cancelled(); }

private:
    ProgressSink& sink_;
    std::mutex mutex_;
    int done_ = 0;
    int total_;
};

}  // namespace

struct FrameComparer::Inner {
    std::vector<std::string> problems;
    std::mutex mutex;
    Renderer renderer;
    explicit Inner(const Project& project) : renderer(project, problems, mutex) {}
};

FrameComparer::FrameComparer(const Project& project) : inner_(std::make_unique<Inner>(project)) {}
FrameComparer::~FrameComparer() = default;

bool FrameComparer::alike(int a, int b, int tolerance)
{
    return inner_->renderer.alike(a, b, tolerance);
}

const std::vector<std::string>& FrameComparer::problems() const
{
    return inner_->problems;
}

RepeatRuns findRepeatRuns(const Project& project, const std::vector<int>& scope, int tolerance,
                          ProgressSink& progress, int jobs)
{
    RepeatRuns runs;
    const int n = int(scope.size());
    runs.runStart.resize(std::size_t(n));
    for (int k = 0; k < n; ++k) runs.runStart[std::size_t(k)] = k;
    if (n < 2)
        return runs;

    // First pass: each frame against the one before it, in stretches on
    // every core. With tolerance 0 likeness passes along a chain, so these
    // links are the runs.
    std::vector<char> linked(std::size_t(n), 0);
    std::mutex problemsMutex;
    SharedProgress shared(progress, n - 1);
    std::atomic<bool> stop{false};
    const int threads = workerCount(jobs);
    const int stretches = std::min(n - 1, threads * 4);
    parallelFor(stretches, threads, [&](int s) {
        Renderer renderer(project, runs.problems, problemsMutex);
        const int from = 1 + int(std::int64_t(n - 1) * s / stretches);
        const int to = 1 + int(std::int64_t(n - 1) * (s + 1) / stretches);
        for (int k = from; k < to && !stop; ++k) {
            if (shared.cancelled()) {
                stop = true;
                break;
            }
            const int a = scope[std::size_t(k - 1)], b = scope[std::size_t(k)];
            linked[std::size_t(k)] = b == a + 1 && renderer.alike(a, b, tolerance);
            shared.step();
        }
    });
    if (stop) {
        runs.cancelled = true;
        return runs;
    }

    // Second pass, with a tolerance: a chain of linked frames may drift, so
    // each frame is held against the first frame of its run.
    std::vector<std::pair<int, int>> chains;  // [first, end) positions
    for (int k = 1; k < n; ++k) {
        if (!linked[std::size_t(k)])
            continue;
        if (chains.empty() || chains.back().second != k)
            chains.push_back({k - 1, k + 1});
        else
            chains.back().second = k + 1;
    }
    parallelFor(int(chains.size()), threads, [&](int c) {
        const auto [first, end] = chains[std::size_t(c)];
        if (tolerance == 0) {
            for (int k = first + 1; k < end; ++k) runs.runStart[std::size_t(k)] = first;
            return;
        }
        Renderer anchorFrames(project, runs.problems, problemsMutex);
        Renderer others(project, runs.problems, problemsMutex);
        int anchor = first;
        for (int k = first + 1; k < end; ++k) {
            const int a = scope[std::size_t(anchor)], b = scope[std::size_t(k)];
            bool alike = FrameCache::imageIdentity(project.frames[std::size_t(a)], project.settings) ==
                         FrameCache::imageIdentity(project.frames[std::size_t(b)], project.settings);
            if (!alike) {
                const PicturePtr pa = anchorFrames.picture(a);
                const PicturePtr pb = others.picture(b);
                alike = pa && pb && picturesAlike(*pa, *pb, tolerance);
            }
            if (!alike)
                anchor = k;
            runs.runStart[std::size_t(k)] = anchor;
        }
    });
    return runs;
}

}  // namespace pelko
