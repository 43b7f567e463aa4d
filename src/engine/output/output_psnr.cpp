#include "engine/output/output_psnr.h"

#include <webp/demux.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

#include "engine/colour/bitmap_frame.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/gif_image.h"
#include "engine/gif/optimize.h"
#include "engine/output/animation_canvas.h"

namespace pelko {
namespace {

// The squared error of two RGBA canvases laid on white.
double squaredError(const std::uint8_t* a, const std::uint8_t* b, std::size_t pixels)
{
    double sum = 0;
    for (std::size_t i = 0; i < pixels; ++i, a += 4, b += 4)
        for (int c = 0; c < 3; ++c) {
            const int va = (a[c] * a[3] + 255 * (255 - a[3])) / 255;
            const int vb = (b[c] * b[3] + 255 * (255 - b[3])) / 255;
            sum += double((va - vb) * (va - vb));
        }
    return sum;
}

// A colour that none of the palette's entries has.
Color unusedColor(const Palette& palette)
{
    for (Color c = 0x010203;; c += 0x010101) {
        bool used = false;
        for (const Color p : palette)
            if ((p & 0xFFFFFF) == c) {
                used = true;
                break;
            }
        if (!used)
            return c;
    }
}

}  // namespace

double meanPsnrAgainstFrames(const Project& project, const std::function<int(int)>& frameMs,
                             const NextShownPicture& next, int jobs)
{
    int shownStart = 0, nextStart = 0;
    std::vector<std::uint8_t> shown, coming;
    bool haveComing = next(nextStart, coming);
    double total = 0;
    int start = 0, count = 0;
    composeFrames(project, jobs, noProgress(), [&](int i, const AnimationCanvas& canvas) {
        // the file's picture at the frame's start
        while (haveComing && (shown.empty() || nextStart <= start)) {
            shown.swap(coming);
            shownStart = nextStart;
            haveComing = next(nextStart, coming);
        }
        const std::size_t pixels = std::size_t(canvas.width()) * std::size_t(canvas.height());
        double db = 100;
        if (shown.size() == pixels * 4) {
            const double mse = squaredError(shown.data(), canvas.rgba(), pixels) / double(pixels * 3);
            if (mse > 0)
                db = std::min(100.0, 10 * std::log10(255.0 * 255.0 / mse));
        } else {
            db = 0;  // nothing shown, or a picture of another size
        }
        total += db;
        ++count;
        start += frameMs(i);
        return true;
    });
    (void)shownStart;
    return count ? total / count : 0;
}

double meanGifPsnr(const Project& project, const std::vector<std::uint8_t>& gif, int jobs)
{
    TGIFImage image;
    image.LoadFromBytes(gif.data(), gif.size());
    AnimationCanvas canvas(project.settings.Width, project.settings.Height);
    int index = 0, start = 0;
    const NextShownPicture next = [&](int& startMs, std::vector<std::uint8_t>& rgba) {
        if (index >= image.Images().GetCount())
            return false;
        const TGIFSubImage& frame = *image.Images().GetImage(index++);
        const Bitmap bitmap = RenderFrame(frame, false);
        Picture picture = bitmap.toPicture();
        const Color key = unusedColor(bitmap.palette());
        if (const Bitmap* mask = bitmap.mask())
            for (int y = 0; y < picture.height(); ++y)
                for (int x = 0; x < picture.width(); ++x)
                    if (mask->index(x, y))
                        picture.setPixel(x, y, key);
        const TGIFGraphicControlExtension* g = frame.GraphicControlExtension();
        canvas.draw(picture, frame.GetLeft(), frame.GetTop(), bitmap.mask() != nullptr, key,
                    g ? int(g->GetDisposal()) : 0);
        startMs = start;
        start += DelayOf(frame) * 10;
        rgba.assign(canvas.rgba(), canvas.rgba() + std::size_t(canvas.width()) * canvas.height() * 4);
        return true;
    };
    return meanPsnrAgainstFrames(
        project, [&](int i) { return gifDelayOf(project.frames[std::size_t(i)].Time) * 10; }, next, jobs);
}

double meanWebpPsnr(const Project& project, const std::vector<std::uint8_t>& webp, int jobs)
{
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        throw std::runtime_error("the WebP library does not match its headers");
    options.color_mode = MODE_RGBA;
    options.use_threads = 1;
    const WebPData data{webp.data(), webp.size()};
    std::unique_ptr<WebPAnimDecoder, void (*)(WebPAnimDecoder*)> decoder(WebPAnimDecoderNew(&data, &options),
                                                                         WebPAnimDecoderDelete);
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info))
        throw std::runtime_error("not an animated WebP");
    int end = 0;
    const NextShownPicture next = [&](int& startMs, std::vector<std::uint8_t>& rgba) {
        std::uint8_t* pixels = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderHasMoreFrames(decoder.get()) ||
            !WebPAnimDecoderGetNext(decoder.get(), &pixels, &timestamp))
            return false;
        startMs = end;
        end = timestamp;
        rgba.assign(pixels, pixels + std::size_t(info.canvas_width) * info.canvas_height * 4);
        return true;
    };
    return meanPsnrAgainstFrames(
        project, [&](int i) { return std::max<int>(1, project.frames[std::size_t(i)].Time); }, next, jobs);
}

}  // namespace pelko
