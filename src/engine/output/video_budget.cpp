#include "engine/output/video_budget.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "engine/output/video_psnr.h"

namespace pelko {
namespace {

// Second passes at most; with the first pass, well within four single encodes.
constexpr int kMaxTries = 3;
// Aim this far under the budget: the encoders' average bit rates are close, not exact.
constexpr double kAim = 0.96;
// A file this close to the budget needs no further try.
constexpr double kCloseEnough = 0.9;
// The lowest average bit rate the encoders take.
constexpr std::int64_t kLowestBitRate = 1000;

// A folder of its own for the encoder's statistics, removed with them.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::error_code ec;
        std::string pattern = (std::filesystem::temp_directory_path(ec) / "pelko-pass-XXXXXX").string();
        if (!ec && ::mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// What the container adds to the streams: headers, an index entry per packet.
std::uint64_t containerBytes(const VideoJob& job, std::uint64_t soundBytes)
{
    return 2000 + 16 * std::uint64_t(job.frameCount()) + soundBytes / 50;
}

std::int64_t bitRateFor(double videoBytes, const VideoJob& job)
{
    const double rate = videoBytes * 8.0 * 1000.0 / double(std::max<std::int64_t>(job.totalMs, 1));
    return std::max<std::int64_t>(kLowestBitRate, std::int64_t(rate));
}

std::string rateText(std::int64_t bitRate)
{
    return "video " + std::to_string((bitRate + 500) / 1000) + " kb/s";
}

}  // namespace

PassEnd fitVideoUnderBudget(const VideoJob& job, std::unique_ptr<VideoFileWriter>& kept, OutputResult& result,
                            ProgressSink& progress)
{
    const std::uint64_t budget = std::uint64_t(job.options.maxBytes);
    ScratchFolder scratch;
    if (scratch.path().empty()) {
        addFailure(result, OutputFailure::Stated, job.path,
                   job.path + ": no folder for the encoder's statistics in the temporary folder");
        return PassEnd::Failed;
    }
    VideoEncoderSettings settings;
    settings.preset = job.options.preset;
    settings.statsFile = scratch.path() + "/pass.log";

    // The first pass: the statistics, and the sound's size. Its rate guesses
    // the sound at the rate its encoder is given.
    const double aim = double(budget) * kAim;
    const double soundGuess = job.withSound() ? double(std::min<int>(job.sound.format.channels, 2)) *
                                                    (job.options.format == VideoFormat::Mp4 ? 8000 : 6000) *
                                                    double(job.totalMs) / 1000
                                              : 0;
    double videoBytes = std::max(aim - double(containerBytes(job, 0)) - soundGuess, aim / 10);
    settings.pass = 1;
    settings.bitRate = bitRateFor(videoBytes, job);
    PassReport first;
    PassEnd end = runVideoPass(job, settings, nullptr, first, result, progress, 0, 25);
    if (end != PassEnd::Done)
        return end;
    const double other = double(first.soundBytes + containerBytes(job, first.soundBytes));
    // A first pass far over its rate met the encoder's floor: the second
    // pass is not asked for less (H.264 refuses a rate below what its
    // statistics allow, in whole kb/s).
    const std::int64_t lowestRate = double(first.videoBytes) > 2 * videoBytes
                                        ? (bitRateFor(1.5 * double(first.videoBytes), job) / 1000 + 1) * 1000
                                        : kLowestBitRate;
    const auto rateFor = [&](double bytes) { return std::max(bitRateFor(bytes, job), lowestRate); };
    videoBytes = aim - other;

    std::uint64_t smallest = 0;
    std::string keptSetting, smallestSetting;
    int tries = 1;
    // One encode into a file of its own, kept when it is the largest that
    // fits. A failure goes into into.
    const auto attempt = [&](const VideoEncoderSettings& s, const std::string& setting, OutputResult& into,
                             int from, int to, std::uint64_t& size, bool* refused = nullptr) {
        auto writer = std::make_unique<VideoFileWriter>();
        if (!writer->open(job.path, job.options.format)) {
            addFailure(into, OutputFailure::CannotCreate, job.path, writer->error());
            return PassEnd::Failed;
        }
        PassReport report;
        const PassEnd e = runVideoPass(job, s, writer.get(), report, into, progress, from, to);
        if (refused)
            *refused = report.encoderRefused;
        if (e != PassEnd::Done)
            return e;
        ++tries;
        size = writer->size();
        if (!smallest || size < smallest) {
            smallest = size;
            smallestSetting = setting;
        }
        if (size <= budget && (!kept || size > kept->size())) {
            kept = std::move(writer);
            keptSetting = setting;
        }
        return PassEnd::Done;
    };

    settings.pass = 2;
    settings.statsIn = first.firstPassStats;
    bool lowest = false;  // the encoder refused a rate as too low, or the lowest rate did not fit
    // The rates tried nearest the aim from below and above, with their sizes.
    double fitRate = 0, fitSize = 0, overRate = 0, overSize = 0;
    for (int i = 0; i < kMaxTries; ++i) {
        settings.bitRate = rateFor(videoBytes);
        OutputResult tried;
        std::uint64_t size = 0;
        bool refused = false;
        end = attempt(settings, rateText(settings.bitRate), tried, 25 + 60 * i / kMaxTries,
                      25 + 60 * (i + 1) / kMaxTries, size, &refused);
        if (end == PassEnd::Cancelled) {
            markCancelled(result, job.path);
            return end;
        }
        if (end == PassEnd::Failed) {
            // H.264 refuses a rate below what its statistics allow.
            if (!refused) {
                result.messages.insert(result.messages.end(), tried.messages.begin(), tried.messages.end());
                result.failure = tried.failure;
                return end;
            }
            lowest = true;
            break;
        }
        if (kept && double(kept->size()) >= kCloseEnough * double(budget))
            break;
        if (size > budget && settings.bitRate == lowestRate) {
            lowest = true;
            break;
        }
        const double rate = double(settings.bitRate);
        if (size <= budget && rate > fitRate) {
            fitRate = rate;
            fitSize = double(size);
        }
        if (size > budget && (overRate == 0 || rate < overRate)) {
            overRate = rate;
            overSize = double(size);
        }
        // Between a rate that fits and one that does not, the size is taken
        // as growing in a straight line; otherwise the video's part is
        // scaled by how far this try missed.
        std::int64_t next = 0;
        if (fitRate > 0 && overRate > 0) {
            next = std::int64_t(fitRate + (aim - fitSize) * (overRate - fitRate) / (overSize - fitSize));
        } else {
            const double videoMade = std::max(1.0, double(size) - other);
            const double wanted = (size > budget ? aim * 0.98 : aim) - other;
            next = rateFor(std::max(1.0, videoBytes * wanted / videoMade));
        }
        videoBytes =
            double(std::max(next, kLowestBitRate)) * double(std::max<std::int64_t>(job.totalMs, 1)) / 8000.0;
    }
    if (!kept && lowest) {
        // The lowest quality the encoder has, in one pass.
        VideoEncoderSettings worst;
        worst.preset = job.options.preset;
        worst.crf = job.options.format == VideoFormat::Mp4 ? 51 : 63;
        std::uint64_t size = 0;
        end = attempt(worst, "quality " + std::to_string(worst.crf), result, 85, 90, size);
        if (end != PassEnd::Done)
            return end;
    }
    BudgetReport report;
    report.maxBytes = job.options.maxBytes;
    report.tries = tries;
    if (!kept) {
        report.bytes = smallest;
        report.setting = smallestSetting;
        result.budget = report;
        addFailure(result, OutputFailure::OverBudget, job.path);
        return PassEnd::Failed;
    }
    report.bytes = kept->size();
    report.setting = keptSetting;
    std::string error;
    Picture canvas;
    OutputResult scratchResult;
    report.meanPsnr = meanVideoPsnr(
        kept->workPath(), job.frameCount(),
        [&](int index, Picture& picture) {
            const bool ok = composeVideoFrame(job, index, canvas, scratchResult);
            picture = canvas;
            return ok && !progress.cancelled();
        },
        error);
    if (progress.cancelled()) {
        markCancelled(result, job.path);
        return PassEnd::Cancelled;
    }
    progress.progress(100);
    result.budget = report;
    return PassEnd::Done;
}

}  // namespace pelko
