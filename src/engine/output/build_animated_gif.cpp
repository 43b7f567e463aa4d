#include "engine/output/build_animated_gif.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <stdexcept>
#include <thread>
#include <vector>

#include "engine/base/output_file.h"
#include "engine/gif/bitmap.h"
#include "engine/gif/bitmap_frame.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/optimize.h"
#include "engine/image/ppm.h"
#include "engine/project/composition.h"
#include "engine/project/frame_cache.h"

namespace pelko {

AnimatedGifOptions gifOptionsOf(const ProjectSettings& s, std::uint16_t loops)
{
    AnimatedGifOptions o;
    o.mergeColorMaps = s.Optimize;
    o.crop = s.Crop;
    o.interlaced = s.Interlaced;
    o.mergeSimilarities = s.Merge;
    o.loops = loops;
    return o;
}

namespace {

// Gives the image the frame's colour settings, with which the next frame
// added to it is converted. The codec's process-wide defaults stay as they
// are: the settings travel with the image.
void applyFrameSettings(TGIFImage& image, const GifFrameSettings& g)
{
    image.SetDitherMode(TDitherMode(g.ColorDither));
    image.SetColorReduction(TColorReduction(g.ColorReduction));
    image.SetReductionBits(g.ReductionBit);
    image.SetCompression(TGIFCompression(g.GIFCompression));
}

// The frame picture at its descriptor size (the frame image cut or padded
// white to Width x Height, as the preview shows it), with its transparency.
// The frame image comes from the project's frame cache, which keeps the
// source but not the frame image (every frame is converted once). A frame
// that cannot be rendered (its source unreadable, or gone with nothing of it
// held) ends the build with the reason, as the GIF would show a blank frame.
Bitmap workingBitmap(const Project& project, int j)
{
    const FrameRecord& f = project.frames[std::size_t(j)];
    const FramePicture image = frameImage(project, j, false);
    if (!image.ok())
        throw std::runtime_error(frameFailureLine(project, j, image.status));
    Bitmap working = Bitmap::fromPicture(previewPicture(f, *image.picture));
    working.setTransparent(f.Gif.GIFTransparent);
    if (working.transparent())
        working.setTransparentColor(f.Gif.TransparentColor);
    return working;
}

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

ReducedFrames reduceFramesInParallel(const Project& project, int jobs, ProgressSink& progress)
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
                AddBitmap(*image, workingBitmap(project, j));
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
    ReducedFrames reduced;
    if (jobs > 1)
        reduced = reduceFramesInParallel(project, jobs, progress);
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
            index = AddBitmap(*image, workingBitmap(project, j));
        }
        TGIFSubImage& frame = *image->Images().GetImage(index);

        frame.SetLeft(std::uint16_t(f.Left));
        frame.SetTop(std::uint16_t(f.Top));
        frame.SetWidth(std::uint16_t(f.Width));
        frame.SetHeight(std::uint16_t(f.Height));
        frame.SetInterlaced(options.interlaced);

        if (index == 0) {
            auto loop = std::make_unique<TGIFAppExtNSLoop>(&frame);
            loop->SetLoops(options.loops);
            frame.Extensions().Add(std::move(loop));
        }
        // One graphic control extension per frame. When the add turned the
        // transparent colour into transparent pixels it made one already, with
        // the index of the entry it added for them: that one gets the delay and
        // disposal (a second extension would hide them from readers that take
        // the first, and a black looked up again could be a real black pixel).
        if (TGIFGraphicControlExtension* made = frame.GraphicControlExtension()) {
            made->SetDelay(f.Time / 10);
            made->SetDisposal(TDisposalMethod(f.Gif.DisposalMethod & 7));
        } else {
            // no pixel had the transparent colour: nothing to make transparent
            auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
            gce->SetDelay(f.Time / 10);
            gce->SetDisposal(TDisposalMethod(f.Gif.DisposalMethod & 7));
            frame.Extensions().Add(std::move(gce));
        }
        progress.progress((j + 1) * 90 / n);
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
