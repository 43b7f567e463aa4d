#include "engine/output/size_estimate.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "engine/output/write_animated_gif.h"

namespace pelko {
namespace {

constexpr int kRuns = 3;       // runs of frames encoded
constexpr int kRunLength = 4;  // frames in a run
constexpr int kWhole = 12;     // animations up to this many frames are encoded whole

// The project with only frames [first, first + count).
Project runOf(const Project& project, int first, int count)
{
    Project run;
    run.settings = project.settings;
    run.cache = project.cache;
    for (int i = first; i < first + count; ++i) run.frames.append(project.frames[std::size_t(i)]);
    return run;
}

std::int64_t videoSize(const Project& project, VideoFileOptions options)
{
    static std::atomic<int> serial{0};
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error)
        folder = "/tmp";
    const std::string path =
        (folder / ("pelko-estimate-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) +
                   (options.format == VideoFormat::WebM ? ".webm" : ".mp4")))
            .string();
    options.withoutSound = true;
    options.maxBytes = 0;
    const OutputResult result = generateVideoFile(project, path, options);
    std::int64_t size = 0;
    if (result.ok)
        size = std::int64_t(std::filesystem::file_size(path, error));
    std::filesystem::remove(path, error);
    return size;
}

// The size of the whole file of project as kind; 0 when it cannot be made.
std::int64_t encodedSize(const Project& project, OutputKind kind, const EstimateOptions& options)
{
    switch (kind) {
        case OutputKind::Gif: {
            const auto bytes = buildAnimatedGifBytes(project, options.gif);
            return bytes ? std::int64_t(bytes->size()) : 0;
        }
        case OutputKind::WebP: {
            const auto bytes = buildAnimatedWebp(project, options.webp);
            return bytes ? std::int64_t(bytes->size()) : 0;
        }
        case OutputKind::Apng: {
            const auto bytes = buildAnimatedPng(project, options.apng);
            return bytes ? std::int64_t(bytes->size()) : 0;
        }
        case OutputKind::Mp4:
        case OutputKind::WebM: {
            VideoFileOptions video = options.video;
            video.format = kind == OutputKind::WebM ? VideoFormat::WebM : VideoFormat::Mp4;
            return videoSize(project, video);
        }
        case OutputKind::Avi:
        case OutputKind::None:
            break;
    }
    return 0;
}

}  // namespace

std::int64_t estimateOutputSize(const Project& project, OutputKind kind, const EstimateOptions& options,
                                ProgressSink& progress)
{
    const int n = project.frames.count();
    if (n <= kWhole)
        return encodedSize(project, kind, options);
    double first = 0, perFrame = 0;
    for (int r = 0; r < kRuns; ++r) {
        // runs at the start, the middle and the end
        const int start = (n - kRunLength) * r / (kRuns - 1);
        const std::int64_t one = encodedSize(runOf(project, start, 1), kind, options);
        const std::int64_t all = encodedSize(runOf(project, start, kRunLength), kind, options);
        if (one == 0 || all == 0)
            return 0;
        first += double(one);
        perFrame += double(std::max<std::int64_t>(0, all - one)) / (kRunLength - 1);
        progress.progress((r + 1) * 100 / kRuns);
        if (progress.cancelled())
            return 0;
    }
    return std::int64_t(first / kRuns + perFrame / kRuns * (n - 1));
}

std::vector<SizeEstimate> estimateOutputSizes(const Project& project, const std::vector<OutputKind>& kinds,
                                              const EstimateOptions& options, ProgressSink& progress)
{
    std::vector<SizeEstimate> estimates;
    for (const OutputKind kind : kinds) {
        if (progress.cancelled())
            break;
        estimates.push_back({kind, estimateOutputSize(project, kind, options)});
        progress.progress(int(estimates.size() * 100 / kinds.size()));
    }
    return estimates;
}

std::string estimateLine(const std::vector<SizeEstimate>& estimates)
{
    std::string line;
    for (const SizeEstimate& e : estimates) {
        if (e.bytes <= 0)
            continue;
        char size[32];
        if (e.bytes < 1000 * 1000)
            std::snprintf(size, sizeof size, "%.1f kB", double(e.bytes) / 1e3);
        else
            std::snprintf(size, sizeof size, "%.1f MB", double(e.bytes) / 1e6);
        if (!line.empty())
            line += " \u00b7 ";
        line += std::string(outputKindName(e.kind)) + " " + size;
    }
    return line;
}

const char* outputKindName(OutputKind kind)
{
    switch (kind) {
        case OutputKind::Gif:
            return "GIF";
        case OutputKind::Avi:
            return "AVI";
        case OutputKind::WebP:
            return "WebP";
        case OutputKind::Apng:
            return "APNG";
        case OutputKind::Mp4:
            return "MP4";
        case OutputKind::WebM:
            return "WebM";
        case OutputKind::None:
            break;
    }
    return "";
}

}  // namespace pelko
