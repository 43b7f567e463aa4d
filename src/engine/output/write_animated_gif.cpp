#include "engine/output/write_animated_gif.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <filesystem>
#include <future>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "engine/base/ordered_pipeline.h"
#include "engine/base/output_file.h"
#include "engine/base/parallel.h"
#include "engine/gif/color_map_merge.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/optimize.h"
#include "engine/output/animated_gif_frame.h"
#include "engine/output/frame_pixel_store.h"

namespace pelko {

namespace {

// A frame converted on a worker thread.
struct ConvertedFrame {
    std::unique_ptr<TGIFImage> image;  // holding the one frame
    std::vector<std::uint8_t> bytes;   // the frame as written (one pass)
    std::vector<std::uint8_t> packed;  // its packed pixels (two passes)
};

// A frame of the second pass, ready to be written.
struct EncodedFrame {
    std::vector<std::uint8_t> bytes;
};

// Where the bytes go, in order; the one-pass write comes back to the header
// at the end.
class GifSink {
public:
    virtual ~GifSink() = default;
    virtual void append(const std::vector<std::uint8_t>& bytes) = 0;
    // Writes bytes over those appended before, from offset on.
    virtual void overwrite(std::size_t offset, const std::vector<std::uint8_t>& bytes) = 0;
};

// An OutputFile: opened before the work starts, so a path that cannot be
// written fails at once; in place only when committed.
class FileSink : public GifSink {
public:
    explicit FileSink(const std::string& path)
    {
        if (!file_.open(path))
            throw OutputFileError(file_.error(), file_.errorCode());
    }
    void append(const std::vector<std::uint8_t>& bytes) override
    {
        if (!file_.write(bytes.data(), bytes.size()))
            throw OutputFileError(file_.error(), file_.errorCode());
    }
    void overwrite(std::size_t offset, const std::vector<std::uint8_t>& bytes) override
    {
        if (::pwrite(file_.fd(), bytes.data(), bytes.size(), off_t(offset)) != ssize_t(bytes.size())) {
            const int code = errno;
            throw OutputFileError(systemErrorText(file_.path(), code), code);
        }
    }
    void commit()
    {
        if (!file_.commit())
            throw OutputFileError(file_.error(), file_.errorCode());
    }

private:
    OutputFile file_;
};

class MemorySink : public GifSink {
public:
    void append(const std::vector<std::uint8_t>& bytes) override
    {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }
    void overwrite(std::size_t offset, const std::vector<std::uint8_t>& bytes) override
    {
        if (offset > bytes_.size() || bytes.size() > bytes_.size() - offset)
            throw std::logic_error("overwriting bytes not written yet");
        std::copy(bytes.begin(), bytes.end(), bytes_.begin() + std::ptrdiff_t(offset));
    }
    std::vector<std::uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

// The scratch file of a build into memory goes to the system's temporary
// folder.
std::string temporaryScratchBeside()
{
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error)
        folder = "/tmp";
    return (folder / "pelko-animated-gif").string();
}

// Adds a copy of the converted frame (descriptor, map, extensions and, for
// the moment, pixels) to image.
TGIFSubImage& addCopy(TGIFImage& image, const TGIFSubImage& converted)
{
    auto frame = std::make_unique<TGIFSubImage>(&image);
    frame->Assign(&converted);
    const int index = image.Add(std::move(frame));
    return *image.Images().GetImage(index);
}

std::vector<std::uint8_t> takePixels(TGIFSubImage& frame)
{
    std::vector<std::uint8_t> pixels;
    pixels.swap(frame.Data());
    return pixels;
}

int transparentIndexOf(const TGIFSubImage& frame)
{
    const TGIFGraphicControlExtension* g = frame.GraphicControlExtension();
    return frame.GetTransparent() && g ? g->GetTransparentColorIndex() : -1;
}

bool pixelsUsable(const TGIFSubImage& frame, const std::vector<std::uint8_t>& pixels)
{
    return !pixels.empty() && frame.GetWidth() > 0 && frame.GetHeight() > 0 &&
           pixels.size() >= std::size_t(frame.GetWidth()) * std::size_t(frame.GetHeight());
}

// Whether cutting the frame down would leave nothing of it: every pixel is
// its transparent one.
bool whollyTransparent(const TGIFSubImage& frame, const std::vector<std::uint8_t>& pixels)
{
    const int t = transparentIndexOf(frame);
    if (t < 0 || !pixelsUsable(frame, pixels))
        return false;
    return std::all_of(pixels.begin(), pixels.end(), [t](std::uint8_t p) { return p == t; });
}

TDisposalMethod disposalOf(const TGIFSubImage& frame)
{
    const TGIFGraphicControlExtension* g = frame.GraphicControlExtension();
    return g ? g->GetDisposal() : dmNone;
}

// Whether the crop looks at the frame: a transparent frame with pixels not
// disposed to the background (cutting that would clear less afterwards).
bool cropApplies(const TGIFSubImage& frame, bool hasPixels)
{
    return hasPixels && frame.GetTransparent() && disposalOf(frame) != dmBackground;
}

class StreamWriter {
public:
    // scratchBeside: a path in the folder for the scratch file of the
    // frames' pixels (the output's own path when writing a file).
    StreamWriter(const Project& project, const AnimatedGifOptions& options, ProgressSink& progress,
                 GifSink& sink, const std::string& scratchBeside)
        : project_(project),
          options_(options),
          progress_(progress),
          n_(project.frames.count()),
          jobs_(std::min(workerCount(options.jobs), std::max(1, n_))),
          sink_(sink),
          scratchBeside_(scratchBeside)
    {
        image_.SetWidth(project.settings.Width);
        image_.SetHeight(project.settings.Height);
        image_.SetLossy(lzwStrength(options));
        if (options.bestPalette)
            smaller_ = std::make_unique<SmallerGifFrames>(project, options.lossy);
    }

    // False when progress asked to stop.
    bool write()
    {
        const bool twoPasses = options_.mergeColorMaps || options_.crop || options_.mergeSimilarities;
        return twoPasses ? writeTwoPasses() : writeOnePass();
    }

private:
    // Without a step over the whole animation every frame is written as it
    // comes; the header, which names the largest colour depth, is filled in
    // at the end (without a global map it has a fixed size).
    bool writeOnePass()
    {
        static constexpr std::size_t kHeaderSize = 13;
        sink_.append(std::vector<std::uint8_t>(kHeaderSize, 0));
        // The whole image is compressed as its last frame's settings say.
        const auto compression =
            n_ > 0 ? TGIFCompression(project_.frames[std::size_t(n_ - 1)].Gif.GIFCompression)
                   : image_.GetCompression();
        auto produce = [&](int j) {
            ConvertedFrame c;
            c.image = convertFrame(project_, j, options_, smaller_.get());
            c.image->SetCompression(compression);
            c.image->SetLossy(lzwStrength(options_));
            GifOutput out;
            c.image->Images().GetImage(0)->SaveToStream(out);
            c.bytes = std::move(out.bytes());
            return c;
        };
        auto consume = [&](int j, ConvertedFrame c) {
            applyFrameSettings(image_, project_.frames[std::size_t(j)].Gif);
            takePixels(addCopy(image_, *c.image->Images().GetImage(0)));
            sink_.append(c.bytes);
            progress_.frames(j + 1, n_);
            progress_.progress((j + 1) * 99 / n_);
            return !progress_.cancelled();
        };
        if (!runInOrder<ConvertedFrame>(n_, jobs_, produce, consume))
            return false;
        sink_.append({0x3B});
        GifOutput header;
        image_.SaveHeaderToStream(header);
        if (header.size() != kHeaderSize)
            throw std::logic_error("a header with a global map in a one-pass GIF");
        sink_.overwrite(0, header.bytes());
        return true;
    }

    // The first pass converts the frames and keeps their pixels packed (and
    // counts their colours for one shared map); the steps over the whole
    // animation run on that; the second pass compresses and writes.
    bool writeTwoPasses()
    {
        FramePixelStore store(scratchBeside_, options_.workingMemory);
        TColorMapMerger merger(image_);
        hasPixels_.assign(std::size_t(n_), false);
        emptyAfterCrop_.assign(std::size_t(n_), false);
        auto produce = [&](int j) {
            ConvertedFrame c;
            c.image = convertFrame(project_, j, options_, smaller_.get());
            const std::vector<std::uint8_t>& pixels = c.image->Images().GetImage(0)->Data();
            if (!store.keepsInMemory(pixels.size()))
                c.packed = FramePixelStore::pack(pixels);  // here, on all cores
            return c;
        };
        auto consume = [&](int j, ConvertedFrame c) {
            applyFrameSettings(image_, project_.frames[std::size_t(j)].Gif);
            TGIFSubImage& frame = addCopy(image_, *c.image->Images().GetImage(0));
            c.image.reset();
            if (options_.mergeColorMaps && merger.count(frame))
                c.packed.clear();  // the pixels changed
            std::vector<std::uint8_t> pixels = takePixels(frame);
            hasPixels_[std::size_t(j)] = !pixels.empty() && frame.GetWidth() > 0 && frame.GetHeight() > 0;
            if (options_.crop && !options_.mergeSimilarities)
                emptyAfterCrop_[std::size_t(j)] = whollyTransparent(frame, pixels);
            store.put(j, std::move(pixels), std::move(c.packed));
            progress_.frames(j + 1, n_);
            progress_.progress((j + 1) * 70 / n_);
            return !progress_.cancelled();
        };
        if (!runInOrder<ConvertedFrame>(n_, jobs_, produce, consume))
            return false;
        // the frames as they were converted, before any is dropped
        frames_.clear();
        for (const auto& f : image_.Images()) frames_.push_back(f.get());

        bool remapped = false;
        if (options_.mergeColorMaps)
            merger.finish();
        if (options_.mergeSimilarities) {
            if (!mergeSimilarities(store, merger))
                return false;
            remapped = true;
        }
        if (options_.crop)
            dropEmptyFrames();
        progress_.progress(80);

        GifOutput header;
        image_.SaveHeaderToStream(header);
        sink_.append(header.bytes());
        return compressAndWrite(store, merger, remapped);
    }

    std::vector<std::uint8_t> loadPixels(const FramePixelStore& store, const TColorMapMerger& merger, int j)
    {
        std::vector<std::uint8_t> pixels = store.get(j);
        if (options_.mergeColorMaps)
            merger.remapPixels(*frames_[std::size_t(j)], pixels);
        return pixels;
    }

    // Pixels that repeat the previous picture become transparent, last frame
    // first, each compared with the frame before it as it was converted.
    // The pixels stored afterwards read in the shared map.
    bool mergeSimilarities(FramePixelStore& store, const TColorMapMerger& merger)
    {
        std::vector<std::uint8_t> current;
        int currentIndex = -1;
        struct Packing {
            int index;
            std::size_t size;
            std::future<std::vector<std::uint8_t>> packed;
        };
        std::deque<Packing> packing;
        auto putOldest = [&] {
            Packing& oldest = packing.front();
            store.putPacked(oldest.index, oldest.size, oldest.packed.get());
            packing.pop_front();
        };
        for (int i = n_ - 1; i >= 0; --i) {
            if (currentIndex != i)
                current = loadPixels(store, merger, i);
            TGIFSubImage& frame = *frames_[std::size_t(i)];
            std::vector<std::uint8_t> previous;
            int j = -1;
            if (i >= 1) {
                j = i - 1;
                while (j > 0 && disposalOf(*frames_[std::size_t(j)]) == dmPrevious) --j;
                previous = loadPixels(store, merger, j);
                frame.Data().swap(current);
                frames_[std::size_t(j)]->Data().swap(previous);
                Merge(frame, frames_[std::size_t(j)]);
                frames_[std::size_t(j)]->Data().swap(previous);
                frame.Data().swap(current);
            }
            if (options_.crop)
                emptyAfterCrop_[std::size_t(i)] = whollyTransparent(frame, current);
            if (store.keepsInMemory(current.size())) {
                store.put(i, std::move(current));
            } else {
                // packed beside the merging, which goes on with the next frame
                if (packing.size() >= std::size_t(jobs_))
                    putOldest();
                packing.push_back(
                    {i, current.size(), std::async(std::launch::async, [p = std::move(current)] {
                         return FramePixelStore::pack(p);
                     })});
            }
            // the frame before, as converted, is the next one to merge
            if (j == i - 1) {
                current.swap(previous);
                currentIndex = j;
            } else {
                currentIndex = -1;
            }
            progress_.progress(70 + (n_ - i) * 10 / n_);
            if (progress_.cancelled()) {
                for (Packing& p : packing) p.packed.wait();
                return false;
            }
        }
        while (!packing.empty()) putOldest();
        return true;
    }

    // Frames that the crop would leave with nothing go, last first (so a
    // frame's list index is still its own); each one's time goes to the
    // frame before it.
    void dropEmptyFrames()
    {
        for (int i = n_ - 1; i >= 0; --i) {
            TGIFSubImage& f = *frames_[std::size_t(i)];
            if (!cropApplies(f, hasPixels_[std::size_t(i)]) || !emptyAfterCrop_[std::size_t(i)])
                continue;
            DropFrameKeepingTime(image_.Images(), i, DelayOf(f));
            frames_[std::size_t(i)] = nullptr;
        }
    }

    bool compressAndWrite(const FramePixelStore& store, const TColorMapMerger& merger, bool remapped)
    {
        std::vector<int> kept;
        for (int j = 0; j < n_; ++j)
            if (frames_[std::size_t(j)])
                kept.push_back(j);
        const int count = int(kept.size());
        auto produce = [&](int k) {
            const int j = kept[std::size_t(k)];
            TGIFSubImage& frame = *frames_[std::size_t(j)];
            std::vector<std::uint8_t> pixels = store.get(j);
            if (options_.mergeColorMaps && !remapped)
                merger.remapPixels(frame, pixels);
            frame.Data().swap(pixels);
            if (options_.crop && cropApplies(frame, hasPixels_[std::size_t(j)]))
                Crop(frame);
            GifOutput out;
            frame.SaveToStream(out);
            takePixels(frame);
            return EncodedFrame{std::move(out.bytes())};
        };
        auto consume = [&](int k, EncodedFrame e) {
            sink_.append(e.bytes);
            progress_.progress(80 + (k + 1) * 19 / std::max(1, count));
            return !progress_.cancelled();
        };
        if (!runInOrder<EncodedFrame>(count, jobs_, produce, consume))
            return false;
        sink_.append({0x3B});
        return true;
    }

    const Project& project_;
    const AnimatedGifOptions& options_;
    ProgressSink& progress_;
    const int n_;
    const int jobs_;
    GifSink& sink_;
    const std::string scratchBeside_;
    std::unique_ptr<SmallerGifFrames> smaller_;  // the smaller-file mode's frames
    TGIFImage image_;  // every frame's settings, map and extensions; pixels only while worked on
    std::vector<TGIFSubImage*> frames_;  // by list index; null once dropped
    std::vector<bool> hasPixels_;
    std::vector<bool> emptyAfterCrop_;
};

}  // namespace

bool WriteAnimatedGif(const Project& project, const AnimatedGifOptions& options, const std::string& path,
                      ProgressSink& progress)
{
    FileSink file(path);
    if (!StreamWriter(project, options, progress, file, path).write())
        return false;
    file.commit();
    progress.progress(100);
    return true;
}

std::optional<std::vector<std::uint8_t>> buildAnimatedGifBytes(const Project& project,
                                                               const AnimatedGifOptions& options,
                                                               ProgressSink& progress)
{
    MemorySink memory;
    if (!StreamWriter(project, options, progress, memory, temporaryScratchBeside()).write())
        return std::nullopt;
    progress.progress(100);
    return memory.take();
}

}  // namespace pelko
