#include "engine/output/build_animated_gif.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine/base/output_file.h"
#include "engine/gif/bitmap_frame.h"
#include "engine/gif/optimize.h"
#include "engine/output/animated_gif_frame.h"

namespace pelko {

int lzwStrength(const AnimatedGifOptions& options)
{
    return options.bestPalette ? options.lossy / 5 : options.lossy;
}

AnimatedGifOptions gifOptionsOf(const ProjectSettings& s, std::uint16_t loops)
{
    AnimatedGifOptions o;
    o.mergeColorMaps = s.Optimize;
    o.crop = s.Crop;
    o.interlaced = s.Interlaced;
    o.mergeSimilarities = s.Merge;
    o.loops = loops;
    o.lossy = s.Lossy;
    o.bestPalette = s.BestPalette;
    return o;
}

namespace {

// Colour reduction of one frame is independent of every other frame: each
// worker converts frames into images of their own, set up as the serial
// build would set up the shared image for that frame. The frames are then
// copied into the shared image in list order. A frame whose conversion
// failed keeps its error, raised when the build reaches that frame, as a
// serial build would raise it.
struct ReducedFrames {
    std::vector<std::unique_ptr<TGIFImage>> images;
    std::vector<std::exception_ptr> errors;
};

ReducedFrames reduceFramesInParallel(const Project& project, int jobs, SmallerGifFrames* smaller,
                                     ProgressSink& progress)
{
    const int n = project.frames.count();
    ReducedFrames reduced;
    reduced.images.resize(std::size_t(n));
    reduced.errors.resize(std::size_t(n));
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    auto work = [&] {
        for (int j = next++; j < n; j = next++) {
            const FrameRecord& f = project.frames[std::size_t(j)];
            try {
                auto image = std::make_unique<TGIFImage>();
                applyFrameSettings(*image, f.Gif);
                AddBitmap(*image, frameBitmap(project, j, smaller));
                reduced.images[std::size_t(j)] = std::move(image);
            } catch (...) {
                reduced.errors[std::size_t(j)] = std::current_exception();
            }
            ++done;
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < jobs; ++t) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();
    progress.progress(done * 80 / std::max(1, n));
    return reduced;
}

}  // namespace

std::unique_ptr<TGIFImage> BuildAnimatedGif(const Project& project, const AnimatedGifOptions& options,
                                            ProgressSink& progress)
{
    auto image = std::make_unique<TGIFImage>();
    image->SetWidth(project.settings.Width);
    image->SetHeight(project.settings.Height);
    const int n = project.frames.count();
    int jobs = options.jobs > 0 ? options.jobs : int(std::max(1u, std::thread::hardware_concurrency()));
    jobs = std::min(jobs, std::max(1, n));
    image->SetEncodeThreads(jobs);
    image->SetLossy(lzwStrength(options));
    ReducedFrames reduced;
    std::unique_ptr<SmallerGifFrames> smaller;
    if (options.bestPalette)
        smaller = std::make_unique<SmallerGifFrames>(project, options.lossy);
    if (jobs > 1)
        reduced = reduceFramesInParallel(project, jobs, smaller.get(), progress);
    for (int j = 0; j < n; ++j) {
        const FrameRecord& f = project.frames[std::size_t(j)];
        applyFrameSettings(*image, f.Gif);
        int index;
        if (jobs > 1) {
            if (reduced.errors[std::size_t(j)])
                std::rethrow_exception(reduced.errors[std::size_t(j)]);
            auto frame = std::make_unique<TGIFSubImage>(image.get());
            frame->Assign(reduced.images[std::size_t(j)]->Images().GetImage(0));
            reduced.images[std::size_t(j)].reset();
            index = image->Add(std::move(frame));
        } else {
            index = AddBitmap(*image, frameBitmap(project, j, smaller.get()));
        }
        setUpFrame(*image->Images().GetImage(index), project, j, options);
        progress.progress(jobs > 1 ? 80 + (j + 1) * 10 / n : (j + 1) * 90 / n);
        if (progress.cancelled())
            return nullptr;
    }
    if (options.mergeColorMaps)
        OptimizeColorMap(*image);
    TGIFOptimizeOptions set;
    if (options.crop)
        set.Include(ooCrop);
    if (options.mergeSimilarities)
        set.Include(ooMerge);
    if (options.crop || options.mergeSimilarities)
        Optimize(*image, set, rmNone, dmNearest, 8);
    progress.progress(100);
    return image;
}

void SaveAnimatedGif(TGIFImage& image, const std::string& path)
{
    writeOutputFile(path, image.SaveToBytes());
}

}  // namespace pelko
