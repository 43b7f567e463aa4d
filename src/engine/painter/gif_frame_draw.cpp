#include "engine/painter/gif_frame_draw.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "engine/gif/gif_image.h"

namespace pelko {

namespace {

// a x b / c rounded half away from zero, for a, b >= 0 and c > 0.
int mulDiv(std::int64_t a, std::int64_t b, std::int64_t c)
{
    return int((a * b + c / 2) / c);
}

struct Span {
    int from, to;  // clipped range in the picture, to exclusive
};

Span clip(int from, int to, int limit)
{
    return {std::max(from, 0), std::min(to, limit)};
}

}  // namespace

TGIFRect ScaleRect(const TGIFSubImage& frame, int screenWidth, int screenHeight, const TGIFRect& rect)
{
    const int rw = rect.Right - rect.Left, rh = rect.Bottom - rect.Top;
    // A screen of no size (frames that set none) scales one to one.
    const int sw = screenWidth > 0 ? screenWidth : std::max(rw, 1);
    const int sh = screenHeight > 0 ? screenHeight : std::max(rh, 1);
    const TGIFRect b = frame.GetBoundsRect();
    return {rect.Left + mulDiv(b.Left, rw, sw), rect.Top + mulDiv(b.Top, rh, sh),
            rect.Left + mulDiv(b.Right, rw, sw), rect.Top + mulDiv(b.Bottom, rh, sh)};
}

std::vector<TGIFRect> FramePlaces(const TGIFSubImage& frame, int screenWidth, int screenHeight,
                                  const TGIFRect& rect, bool tile)
{
    const int rw = rect.Right - rect.Left, rh = rect.Bottom - rect.Top;
    if (!tile || screenWidth <= 0 || screenHeight <= 0) {
        TGIFRect r = ScaleRect(frame, screenWidth, screenHeight, rect);
        return {{r.Left - rect.Left, r.Top - rect.Top, r.Right - rect.Left, r.Bottom - rect.Top}};
    }
    std::vector<TGIFRect> places;
    for (int y = 0; y < rh; y += screenHeight)
        for (int x = 0; x < rw; x += screenWidth)
            places.push_back({x + frame.GetLeft(), y + frame.GetTop(), x + frame.GetLeft() + frame.GetWidth(),
                              y + frame.GetTop() + frame.GetHeight()});
    return places;
}

void DrawFrame(Picture& target, const TGIFSubImage& frame, const std::vector<TGIFRect>& places,
               bool transparent)
{
    const int fw = frame.GetWidth(), fh = frame.GetHeight();
    if (frame.GetEmpty() || frame.Data().size() < std::size_t(fw) * std::size_t(fh))
        return;
    // The colours of all 256 indices, as blue, green, red.
    const TGIFColorMap& map = frame.GetActiveColorMap();
    std::array<std::array<std::uint8_t, 3>, 256> colours{};
    for (int i = 0; i < map.GetCount() && i < 256; ++i) {
        const TGIFColor& c = map.Entry(i);
        colours[std::size_t(i)] = {c.Blue, c.Green, c.Red};
    }
    const TGIFGraphicControlExtension* gce = frame.GraphicControlExtension();
    const int skip = transparent && frame.GetTransparent() && gce ? gce->GetTransparentColorIndex() : -1;
    const std::uint8_t* data = frame.Data().data();

    std::vector<int> sourceX;
    for (const TGIFRect& p : places) {
        const int pw = p.Right - p.Left, ph = p.Bottom - p.Top;
        if (pw <= 0 || ph <= 0)
            continue;
        const Span xs = clip(p.Left, p.Right, target.width());
        const Span ys = clip(p.Top, p.Bottom, target.height());
        if (xs.from >= xs.to || ys.from >= ys.to)
            continue;
        sourceX.resize(std::size_t(xs.to - xs.from));
        for (int x = xs.from; x < xs.to; ++x)
            sourceX[std::size_t(x - xs.from)] = int(std::int64_t(x - p.Left) * fw / pw);
        for (int y = ys.from; y < ys.to; ++y) {
            const int sy = int(std::int64_t(y - p.Top) * fh / ph);
            const std::uint8_t* src = data + std::size_t(sy) * std::size_t(fw);
            std::uint8_t* out = target.row(y) + std::size_t(xs.from) * 3;
            for (int sx : sourceX) {
                const int index = src[sx];
                if (index != skip) {
                    const auto& c = colours[std::size_t(index)];
                    out[0] = c[0];
                    out[1] = c[1];
                    out[2] = c[2];
                }
                out += 3;
            }
        }
    }
}

void RestoreBackground(Picture& target, const std::vector<TGIFRect>& places, const Picture* background,
                       Color colour)
{
    const bool copy = background && background->width() == target.width() &&
                      background->height() == target.height() && !background->empty();
    const std::uint8_t fill[3] = {blueOf(colour), greenOf(colour), redOf(colour)};
    for (const TGIFRect& p : places) {
        const Span xs = clip(p.Left, p.Right, target.width());
        const Span ys = clip(p.Top, p.Bottom, target.height());
        if (xs.from >= xs.to)
            continue;
        const std::size_t from = std::size_t(xs.from) * 3, bytes = std::size_t(xs.to - xs.from) * 3;
        for (int y = ys.from; y < ys.to; ++y) {
            std::uint8_t* out = target.row(y) + from;
            if (copy) {
                std::copy_n(background->row(y) + from, bytes, out);
            } else {
                for (std::size_t i = 0; i < bytes; i += 3) std::copy_n(fill, 3, out + i);
            }
        }
    }
}

Color PainterBackgroundColor(const TGIFImage& image, Color windowColour)
{
    const Color drawColour = image.GetDrawBackgroundColor();
    if (drawColour != TGIFImage::kNoColor)
        return drawColour & 0xFFFFFF;
    const TGIFColorMap& global = image.GetColorMap();
    if (global.GetCount() > 0) {
        const int index = image.GetBackgroundColorIndex();
        const TGIFColor& c = global.Entry(index < global.GetCount() ? index : 0);
        return rgb(c.Red, c.Green, c.Blue);
    }
    return windowColour & 0xFFFFFF;
}

}  // namespace pelko
