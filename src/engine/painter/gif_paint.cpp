// The operations of an image on its painters: making and starting them,
// Draw, and pausing, resuming and restarting them all (stopping them is the
// codec's, engine/gif/gif_painter_list.cpp).

#include <memory>

#include "engine/gif/gif_image.h"
#include "engine/gif/gif_painter_list.h"
#include "engine/painter/gif_frame_draw.h"
#include "engine/painter/gif_painter.h"

namespace pelko {

namespace {

// Every painter in an image's list is a TGIFPainter: only makePainter adds
// them.
std::shared_ptr<TGIFPainter> painterOf(std::shared_ptr<TGIFListedPainter> listed)
{
    return std::static_pointer_cast<TGIFPainter>(std::move(listed));
}

bool emptyRect(const TGIFRect& r)
{
    return r.Right <= r.Left || r.Bottom <= r.Top;
}

std::shared_ptr<TGIFPainter> makePainter(TGIFImage& image, std::shared_ptr<GifCanvas> canvas,
                                         const TGIFRect& rect, TGIFDrawOptions options, GifPaintSetup setup,
                                         bool asDrawPainter)
{
    if (!canvas || emptyRect(rect))
        return nullptr;
    TGIFPainterList& list = image.PainterList();
    std::shared_ptr<TGIFPainter> painter;
    {
        std::lock_guard<std::recursive_mutex> guard(list.Lock());
        if (image.GetEmpty())
            return nullptr;
        painter = std::make_shared<TGIFPainter>(image, std::move(canvas), rect, options, std::move(setup));
        list.add(painter, asDrawPainter);
    }
    if (painter->GetDrawOptions().Contains(goAsync))
        return painter;
    painter->Start();  // to the end, here
    return nullptr;
}

// Frame 0 over what lies behind rect, handed to the canvas.
void drawStill(TGIFImage& image, GifCanvas& canvas, const TGIFRect& rect, TGIFDrawOptions options)
{
    const int w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;
    const Color background = PainterBackgroundColor(image, canvas.windowColor());
    auto picture = std::make_shared<Picture>(canvas.backdrop(rect));
    if (picture->width() != w || picture->height() != h) {
        *picture = Picture(w, h);
        picture->fill(background);
    }
    {
        std::lock_guard<std::recursive_mutex> guard(image.PainterList().Lock());
        if (image.GetEmpty())
            return;
        const TGIFSubImage& frame = *image.Images().GetImage(0);
        DrawFrame(*picture, frame,
                  FramePlaces(frame, image.GetWidth(), image.GetHeight(), rect, options.Contains(goTile)),
                  options.Contains(goTransparent));
    }
    canvas.paintFrame(std::move(picture), rect);
}

class DrawGuard {
public:
    explicit DrawGuard(TGIFPainterList& list) : list_(list), entered_(list.beginDraw()) {}
    ~DrawGuard()
    {
        if (entered_)
            list_.endDraw();
    }
    explicit operator bool() const { return entered_; }

private:
    TGIFPainterList& list_;
    bool entered_;
};

template <class Action>
void forEachPainter(TGIFImage& image, Action action)
{
    TGIFPainterList& list = image.PainterList();
    std::lock_guard<std::recursive_mutex> guard(list.Lock());
    for (const std::shared_ptr<TGIFListedPainter>& p : list.snapshot()) action(*painterOf(p));
}

}  // namespace

std::shared_ptr<TGIFPainter> InternalPaint(TGIFImage& image, std::shared_ptr<GifCanvas> canvas,
                                           const TGIFRect& rect, TGIFDrawOptions options, GifPaintSetup setup)
{
    return makePainter(image, std::move(canvas), rect, options, std::move(setup), false);
}

std::shared_ptr<TGIFPainter> Paint(TGIFImage& image, std::shared_ptr<GifCanvas> canvas, const TGIFRect& rect,
                                   TGIFDrawOptions options, GifPaintSetup setup)
{
    std::shared_ptr<TGIFPainter> painter =
        InternalPaint(image, std::move(canvas), rect, options, std::move(setup));
    if (painter)
        painter->Start();
    return painter;
}

void Draw(TGIFImage& image, std::shared_ptr<GifCanvas> canvas, const TGIFRect& rect, GifPaintSetup setup)
{
    if (!canvas || emptyRect(rect) || image.GetEmpty())
        return;
    TGIFPainterList& list = image.PainterList();
    DrawGuard guard(list);
    if (!guard)
        return;
    const TGIFDrawOptions options = image.GetDrawOptions();
    if (image.Images().GetCount() == 1 || !options.Contains(goAnimate)) {
        drawStill(image, *canvas, rect, options);
        return;
    }
    {
        std::lock_guard<std::recursive_mutex> painters(list.Lock());
        std::shared_ptr<TGIFPainter> current = painterOf(list.drawPainter());
        if (current && current->CanvasPtr() == canvas && current->GetRect() == rect)
            return;  // it is painting there already
    }
    // The animation played to its end here: show where it stopped.
    if (!options.Contains(goDirectDraw))
        if (std::shared_ptr<const Picture> last = list.drawPicture(canvas.get(), rect)) {
            canvas->paintFrame(std::move(last), rect);
            return;
        }
    StopDraw(image);
    if (std::shared_ptr<TGIFPainter> painter =
            makePainter(image, canvas, rect, options, std::move(setup), true))
        painter->Start();
}

void PaintStart(TGIFImage& image)
{
    forEachPainter(image, [](TGIFPainter& p) { p.Start(); });
}

void PaintPause(TGIFImage& image)
{
    forEachPainter(image, [](TGIFPainter& p) { p.Pause(); });
}

void PaintResume(TGIFImage& image)
{
    forEachPainter(image, [](TGIFPainter& p) { p.Resume(); });
}

void PaintRestart(TGIFImage& image)
{
    forEachPainter(image, [](TGIFPainter& p) { p.Restart(); });
}

std::vector<std::shared_ptr<TGIFPainter>> GetPainters(const TGIFImage& image)
{
    std::vector<std::shared_ptr<TGIFPainter>> painters;
    for (std::shared_ptr<TGIFListedPainter>& p : image.PainterList().snapshot())
        painters.push_back(painterOf(std::move(p)));
    return painters;
}

std::shared_ptr<TGIFPainter> GetDrawPainter(const TGIFImage& image)
{
    return painterOf(image.PainterList().drawPainter());
}

}  // namespace pelko
