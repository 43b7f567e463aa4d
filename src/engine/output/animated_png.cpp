#include "engine/output/animated_png.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <future>

#include "engine/base/output_file.h"
#include "engine/base/parallel.h"
#include "engine/output/animation_canvas.h"
#include "engine/output/checked_output.h"
#include "engine/png/png_image_encoder.h"
#include "engine/png/png_stream.h"

namespace pelko {
namespace {

constexpr std::uint8_t kBlendSource = 0, kBlendOver = 1;

// A frame's rectangle, cut from the canvas, ready for compression.
struct FramePatch {
    Rect rect;
    std::uint16_t delay = 0;          // milliseconds
    std::vector<std::uint8_t> whole;  // the rectangle's pixels
    std::vector<std::uint8_t> over;   // the same with unchanged pixels transparent; empty when not possible
};

struct EncodedPatch {
    Rect rect;
    std::uint16_t delay = 0;
    std::uint8_t blend = kBlendSource;
    std::vector<std::uint8_t> data;
};

// The smallest rectangle holding every pixel that differs; empty when none.
Rect changedRect(const std::vector<std::uint8_t>& before, const AnimationCanvas& now)
{
    const int w = now.width(), h = now.height();
    const std::size_t rowBytes = std::size_t(w) * 4;
    int top = -1, bottom = -1, left = w, right = -1;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* a = before.data() + std::size_t(y) * rowBytes;
        const std::uint8_t* b = now.row(y);
        if (std::memcmp(a, b, rowBytes) == 0)
            continue;
        if (top < 0)
            top = y;
        bottom = y;
        int x0 = 0;
        while (x0 < left && std::memcmp(a + std::size_t(x0) * 4, b + std::size_t(x0) * 4, 4) == 0) ++x0;
        left = std::min(left, x0);
        int x1 = w - 1;
        while (x1 > right && std::memcmp(a + std::size_t(x1) * 4, b + std::size_t(x1) * 4, 4) == 0) --x1;
        right = std::max(right, x1);
    }
    if (top < 0)
        return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

FramePatch cutPatch(const std::vector<std::uint8_t>* before, const AnimationCanvas& now, Rect r, bool alpha)
{
    FramePatch p;
    p.rect = r;
    const int channels = alpha ? 4 : 3;
    p.whole.resize(std::size_t(r.width) * std::size_t(r.height) * std::size_t(channels));
    bool overPossible = alpha && before;
    if (overPossible)
        p.over.resize(p.whole.size());
    std::uint8_t* w = p.whole.data();
    std::uint8_t* o = p.over.data();
    for (int y = r.top; y < r.top + r.height; ++y) {
        const std::uint8_t* c = now.row(y) + std::size_t(r.left) * 4;
        const std::uint8_t* b =
            before ? before->data() + (std::size_t(y) * std::size_t(now.width()) + std::size_t(r.left)) * 4
                   : nullptr;
        for (int x = 0; x < r.width; ++x, c += 4) {
            std::memcpy(w, c, std::size_t(channels));
            w += channels;
            if (!overPossible)
                continue;
            const std::uint8_t* p4 = b + std::size_t(x) * 4;
            if (std::memcmp(p4, c, 4) == 0) {
                std::memset(o, 0, 4);
            } else if (c[3] == 0) {
                // laying a pixel over cannot make it transparent
                overPossible = false;
                p.over.clear();
            } else {
                std::memcpy(o, c, 4);
            }
            o += 4;
        }
    }
    return p;
}

EncodedPatch encodePatch(FramePatch p, bool alpha, int level)
{
    const int channels = alpha ? 4 : 3;
    const std::size_t stride = std::size_t(p.rect.width) * std::size_t(channels);
    EncodedPatch e{
        p.rect, p.delay, kBlendSource,
        png::encodeImageData(p.whole.data(), p.rect.width, p.rect.height, channels, stride, level)};
    if (!p.over.empty()) {
        std::vector<std::uint8_t> over =
            png::encodeImageData(p.over.data(), p.rect.width, p.rect.height, channels, stride, level);
        if (over.size() < e.data.size()) {
            e.data = std::move(over);
            e.blend = kBlendOver;
        }
    }
    return e;
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v)
{
    out.push_back(std::uint8_t(v >> 8));
    out.push_back(std::uint8_t(v));
}

}  // namespace

bool animationMayBeTransparent(const Project& project)
{
    const ProjectSettings& s = project.settings;
    for (std::size_t i = 0; i < project.frames.size(); ++i) {
        const FrameRecord& f = project.frames[i];
        if (f.Gif.GIFTransparent || (f.Gif.DisposalMethod & 7) == 2)
            return true;
        if (i == 0 && (f.Left > 0 || f.Top > 0 || std::int64_t(f.Left) + f.Width < s.Width ||
                       std::int64_t(f.Top) + f.Height < s.Height))
            return true;
    }
    return false;
}

bool writeAnimatedPng(const Project& project, const ApngOptions& options,
                      const std::function<void(const std::vector<std::uint8_t>&)>& append,
                      ProgressSink& progress)
{
    const ProjectSettings& s = project.settings;
    const int n = project.frames.count();
    const bool alpha = animationMayBeTransparent(project);
    const int jobs = std::min(workerCount(options.jobs), std::max(1, n));
    std::uint32_t sequence = 0;

    std::vector<std::uint8_t> head(png::kSignature, png::kSignature + 8);
    std::vector<std::uint8_t> chunk;
    png::put32(chunk, std::uint32_t(std::max(1, s.Width)));
    png::put32(chunk, std::uint32_t(std::max(1, s.Height)));
    chunk.insert(chunk.end(), {8, std::uint8_t(alpha ? 6 : 2), 0, 0, 0});
    png::writeChunk(head, "IHDR", chunk.data(), chunk.size());
    chunk.clear();
    png::put32(chunk, std::uint32_t(n));
    png::put32(chunk, options.loops);
    png::writeChunk(head, "acTL", chunk.data(), chunk.size());
    append(head);

    int written = 0;
    auto write = [&](const EncodedPatch& e) {
        std::vector<std::uint8_t> out, c;
        png::put32(c, sequence++);
        png::put32(c, std::uint32_t(e.rect.width));
        png::put32(c, std::uint32_t(e.rect.height));
        png::put32(c, std::uint32_t(e.rect.left));
        png::put32(c, std::uint32_t(e.rect.top));
        put16(c, e.delay);
        put16(c, 1000);
        c.push_back(0);  // the next frame is drawn over what this one leaves
        c.push_back(e.blend);
        png::writeChunk(out, "fcTL", c.data(), c.size());
        if (written == 0) {
            png::writeChunk(out, "IDAT", e.data.data(), e.data.size());
        } else {
            c.clear();
            png::put32(c, sequence++);
            c.insert(c.end(), e.data.begin(), e.data.end());
            png::writeChunk(out, "fdAT", c.data(), c.size());
        }
        append(out);
        ++written;
        progress.progress(written * 99 / std::max(1, n));
    };

    std::deque<std::future<EncodedPatch>> pending;
    std::vector<std::uint8_t> before;  // the canvas shown by the frame before
    const bool whole =
        composeFrames(project, options.jobs, progress, [&](int i, const AnimationCanvas& canvas) {
            FramePatch patch;
            if (i == 0) {
                patch = cutPatch(nullptr, canvas, {0, 0, canvas.width(), canvas.height()}, alpha);
            } else {
                Rect r = changedRect(before, canvas);
                if (r.width == 0)
                    r = {0, 0, 1, 1};  // nothing changed: one pixel as it is
                patch = cutPatch(&before, canvas, r, alpha);
            }
            patch.delay = project.frames[std::size_t(i)].Time;
            before.assign(canvas.rgba(), canvas.rgba() + std::size_t(canvas.width()) * canvas.height() * 4);
            if (pending.size() >= std::size_t(jobs)) {
                write(pending.front().get());
                pending.pop_front();
            }
            pending.push_back(std::async(std::launch::async,
                                         [p = std::move(patch), alpha, level = options.level]() mutable {
                                             return encodePatch(std::move(p), alpha, level);
                                         }));
            return true;
        });
    if (!whole)
        return false;
    while (!pending.empty()) {
        write(pending.front().get());
        pending.pop_front();
    }
    std::vector<std::uint8_t> end;
    png::writeChunk(end, "IEND", nullptr, 0);
    append(end);
    return true;
}

std::optional<std::vector<std::uint8_t>> buildAnimatedPng(const Project& project, const ApngOptions& options,
                                                          ProgressSink& progress)
{
    std::vector<std::uint8_t> bytes;
    const auto append = [&](const std::vector<std::uint8_t>& b) {
        bytes.insert(bytes.end(), b.begin(), b.end());
    };
    if (!writeAnimatedPng(project, options, append, progress))
        return std::nullopt;
    return bytes;
}

OutputResult generateApngFile(const Project& project, const ApngOptions& options, const std::string& path,
                              ProgressSink& progress)
{
    return checkedOutputWrite(
        path,
        [&] {
            OutputFile file;
            if (!file.open(path))
                throw OutputFileError(file.error(), file.errorCode());
            const auto append = [&](const std::vector<std::uint8_t>& b) {
                if (!file.write(b.data(), b.size()))
                    throw OutputFileError(file.error(), file.errorCode());
            };
            if (!writeAnimatedPng(project, options, append, progress))
                return false;
            if (!file.commit())
                throw OutputFileError(file.error(), file.errorCode());
            progress.progress(100);
            return true;
        },
        "not enough memory to build the animated PNG");
}

}  // namespace pelko
