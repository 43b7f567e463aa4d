#include "engine/output/size_budget.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "engine/base/output_file.h"
#include "engine/output/checked_output.h"
#include "engine/output/output_psnr.h"
#include "engine/output/write_animated_gif.h"

namespace pelko {
namespace {

using Bytes = std::vector<std::uint8_t>;
// The file of setting s (0: the best quality, larger: smaller files);
// nullopt when the user stopped the work.
using Encode = std::function<std::optional<Bytes>(int s)>;

// The file a file this close under the budget is taken at once.
constexpr double kCloseEnough = 0.9;
// Where the search aims, between that and the budget.
constexpr double kAim = 0.95;
constexpr int kMostTries = 8;

struct SearchEnd {
    bool cancelled = false;
    std::optional<Bytes> bytes;  // the file at `setting`; none when nothing fits
    int setting = 0;             // the setting of bytes; without them, the smallest file's
    std::size_t smallest = 0;    // the smallest size reached
    int tries = 0;
};

// Looks for the best setting in [first, last] whose file fits in budget,
// starting at first and guessing the next setting from the sizes seen:
// sizes are taken to fall exponentially with the setting, at first by
// `halving` settings for half the size, then as the two closest tries say.
SearchEnd searchSetting(int first, int last, double halving, std::size_t budget, const Encode& encode)
{
    SearchEnd end;
    std::map<int, std::size_t> sizes;
    int tooBig = first - 1;  // the largest setting known not to fit
    int fits = last + 1;     // the smallest setting known to fit
    int s = first;
    while (end.tries < kMostTries) {
        std::optional<Bytes> bytes = encode(s);
        if (!bytes) {
            end.cancelled = true;
            return end;
        }
        ++end.tries;
        const std::size_t size = bytes->size();
        sizes[s] = size;
        if (end.smallest == 0 || size < end.smallest) {
            end.smallest = size;
            if (!end.bytes)
                end.setting = s;
        }
        if (size <= budget) {
            if (s < fits) {
                fits = s;
                end.bytes = std::move(bytes);
                end.setting = s;
            }
        } else {
            tooBig = std::max(tooBig, s);
        }
        if (fits == first || fits - tooBig <= 1)
            break;
        if (end.bytes && double(end.bytes->size()) >= kCloseEnough * double(budget))
            break;
        if (tooBig == last)
            break;  // nothing fits
        // the next guess: from the closest tries on either side, or one try
        // and the assumed fall
        const double aim = std::log(kAim * double(budget));
        double next;
        const bool haveBig = tooBig >= first, haveFit = fits <= last;
        if (haveBig && haveFit) {
            const double a = std::log(double(sizes[tooBig])), b = std::log(double(sizes[fits]));
            next = a > b ? tooBig + (a - aim) / (a - b) * (fits - tooBig) : (tooBig + fits) / 2.0;
        } else if (end.tries >= 2) {
            next = haveBig ? last : first;  // the guesses fell short: the far end closes the bracket
        } else {
            const int known = haveBig ? tooBig : fits;
            next = known + (std::log(double(sizes[known])) - aim) / std::log(2.0) * halving;
        }
        // within the bracket, and not too close to either end, so that it
        // shrinks fast even where the sizes do not fall evenly
        const int low = tooBig + 1, high = std::min(fits - 1, last);
        const int margin = haveBig && haveFit ? (fits - tooBig) / 8 : 0;
        s = std::clamp(int(std::lround(next)), std::min(high, low + margin), std::max(low, high - margin));
    }
    return end;
}

// Writes the bytes the search kept, or words why there are none.
OutputResult finish(const SearchEnd& end, std::int64_t maxBytes, const std::string& path,
                    const std::string& settingText, const std::function<double(const Bytes&)>& psnr)
{
    OutputResult result;
    BudgetReport report;
    report.maxBytes = maxBytes;
    report.tries = end.tries;
    report.setting = settingText;
    if (end.cancelled) {
        markCancelled(result, path);
        return result;
    }
    if (!end.bytes) {
        report.bytes = end.smallest;
        result.budget = report;
        addFailure(result, OutputFailure::OverBudget, path);
        return result;
    }
    result = checkedOutputWrite(path, [&] {
        writeOutputFile(path, *end.bytes);
        return true;
    });
    if (result.ok) {
        report.bytes = end.bytes->size();
        report.meanPsnr = psnr(*end.bytes);
        result.budget = report;
    }
    return result;
}

// Fails before the long work when path cannot take the file.
std::optional<OutputResult> pathProblem(const std::string& path)
{
    OutputResult result = checkedOutputWrite(path, [] { return true; });
    if (result.ok)
        return std::nullopt;
    return result;
}

// Runs the search with the failures of the frames and of memory worded.
OutputResult runSearch(const std::string& path, const std::function<OutputResult()>& search)
{
    if (auto problem = pathProblem(path))
        return *problem;
    OutputResult result;
    const OutputResult outer = checkedOutputWrite(path, [&] {
        result = search();
        return true;
    });
    return outer.ok ? result : outer;
}

// Reports progress of one try inside the search as a share of the whole.
class TryProgress : public ProgressSink {
public:
    explicit TryProgress(ProgressSink& outer) : outer_(outer) {}
    void progress(int percent) override { outer_.progress(std::min(95, tries_ * 20 + percent / 5)); }
    bool cancelled() const override { return outer_.cancelled(); }
    void nextTry() { ++tries_; }

private:
    ProgressSink& outer_;
    int tries_ = 0;
};

}  // namespace

OutputResult generateGifUnderBudget(const Project& project, const AnimatedGifOptions& options,
                                    std::int64_t maxBytes, const std::string& path, ProgressSink& progress)
{
    return runSearch(path, [&] {
        AnimatedGifOptions o = options;
        o.bestPalette = true;
        o.mergeSimilarities = true;
        o.crop = true;
        TryProgress tries(progress);
        const Encode byStrength = [&](int s) {
            o.lossy = s;
            auto bytes = buildAnimatedGifBytes(project, o, tries);
            tries.nextTry();
            return bytes;
        };
        const std::size_t budget = std::size_t(maxBytes);
        SearchEnd end = searchSetting(0, 100, 40, budget, byStrength);
        std::string setting = "lossy " + std::to_string(end.setting);
        // past the strongest setting, fewer colours in every frame: 32
        // first, then up while it fits or down until it does
        std::optional<Bytes> kept;
        int keptBits = 0;
        Project fewer = project;
        const auto tryBits = [&](int bits) -> std::optional<bool> {
            Project p = project;
            for (FrameRecord& f : p.frames) f.Gif.ReductionBit = std::min(f.Gif.ReductionBit, bits);
            o.lossy = 100;
            auto bytes = buildAnimatedGifBytes(p, o, tries);
            tries.nextTry();
            ++end.tries;
            if (!bytes)
                return std::nullopt;
            end.smallest = std::min(end.smallest, bytes->size());
            if (bytes->size() > budget) {
                setting = "lossy 100, " + std::to_string(1 << bits) + " colours";
                return false;
            }
            kept = std::move(bytes);
            keptBits = bits;
            fewer = std::move(p);
            return true;
        };
        if (!end.cancelled && !end.bytes) {
            const int firstBits = 5;
            std::optional<bool> fits = tryBits(firstBits);
            const int step = fits && *fits ? 1 : -1;
            for (int bits = firstBits + step; fits && bits >= 3 && bits <= 7; bits += step) {
                if (step > 0 && double(kept->size()) >= kCloseEnough * double(budget))
                    break;
                fits = tryBits(bits);
                if (fits && (step > 0 ? !*fits : *fits))
                    break;
            }
            if (!fits)
                end.cancelled = true;
            if (kept) {
                end.smallest = kept->size();
                end.bytes = std::move(kept);
                setting = "lossy 100, " + std::to_string(1 << keptBits) + " colours";
                return finish(end, maxBytes, path, setting,
                              [&](const Bytes& b) { return meanGifPsnr(fewer, b, options.jobs); });
            }
        }
        return finish(end, maxBytes, path, setting,
                      [&](const Bytes& b) { return meanGifPsnr(project, b, options.jobs); });
    });
}

OutputResult generateWebpUnderBudget(const Project& project, const WebpOptions& options,
                                     std::int64_t maxBytes, const std::string& path, ProgressSink& progress)
{
    return runSearch(path, [&] {
        WebpOptions o = options;
        TryProgress tries(progress);
        const std::size_t budget = std::size_t(maxBytes);
        const auto psnr = [&](const Bytes& b) { return meanWebpPsnr(project, b, options.jobs); };
        if (o.lossless) {
            auto bytes = buildAnimatedWebp(project, o, tries);
            tries.nextTry();
            if (!bytes)
                return finish(SearchEnd{true}, maxBytes, path, {}, psnr);
            if (bytes->size() <= budget) {
                SearchEnd end;
                end.bytes = std::move(bytes);
                end.tries = 1;
                return finish(end, maxBytes, path, "lossless", psnr);
            }
            o.lossless = false;
        }
        // setting s is quality 100 - s, the search starting at the quality asked for
        const Encode byQuality = [&](int s) {
            o.quality = 100 - s;
            auto bytes = buildAnimatedWebp(project, o, tries);
            tries.nextTry();
            return bytes;
        };
        const int start = 100 - std::clamp(options.quality, 0, 100);
        SearchEnd end = searchSetting(start, 100, 15, budget, byQuality);
        // the quality asked for fits: a better one may too
        if (!end.cancelled && end.bytes && end.setting == start && start > 0 &&
            double(end.bytes->size()) < kCloseEnough * double(budget)) {
            SearchEnd better = searchSetting(0, start - 1, 15, budget, byQuality);
            better.tries += end.tries;
            if (better.cancelled || better.bytes)
                end = std::move(better);
            else
                end.tries = better.tries;
        }
        return finish(end, maxBytes, path, "quality " + std::to_string(100 - end.setting), psnr);
    });
}

}  // namespace pelko
