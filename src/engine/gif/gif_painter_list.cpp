#include "engine/gif/gif_painter_list.h"

#include <algorithm>

#include "engine/gif/gif_image.h"

namespace pelko {

void TGIFPainterList::add(std::shared_ptr<TGIFListedPainter> painter, bool asDrawPainter)
{
    std::lock_guard<std::mutex> guard(m_);
    if (asDrawPainter) {
        draw_ = painter;
        drawCanvas_ = painter->CanvasIdentity();
        drawRect_ = painter->GetRect();
        drawPicture_.reset();
    }
    painters_.push_back(std::move(painter));
}

void TGIFPainterList::remove(TGIFListedPainter* painter)
{
    std::shared_ptr<TGIFListedPainter> gone;  // freed after the mutex is released
    {
        std::lock_guard<std::mutex> guard(m_);
        auto it =
            std::find_if(painters_.begin(), painters_.end(),
                         [&](const std::shared_ptr<TGIFListedPainter>& p) { return p.get() == painter; });
        if (it != painters_.end()) {
            gone = std::move(*it);
            painters_.erase(it);
        }
        if (draw_.lock().get() == painter)
            draw_.reset();
        painter->markFinished();
        changed_.notify_all();
    }
}

std::vector<std::shared_ptr<TGIFListedPainter>> TGIFPainterList::snapshot() const
{
    std::lock_guard<std::mutex> guard(m_);
    return painters_;
}

bool TGIFPainterList::empty() const
{
    std::lock_guard<std::mutex> guard(m_);
    return painters_.empty();
}

bool TGIFPainterList::stoppedElsewhere() const
{
    return std::any_of(painters_.begin(), painters_.end(), [](const std::shared_ptr<TGIFListedPainter>& p) {
        return p->GetTerminated() && !p->RunsOnThisThread();
    });
}

bool TGIFPainterList::waitForStopped()
{
    std::unique_lock<std::mutex> lock(m_);
    changed_.wait(lock, [&] { return !stoppedElsewhere(); });
    return std::any_of(painters_.begin(), painters_.end(),
                       [](const std::shared_ptr<TGIFListedPainter>& p) { return !p->RunsOnThisThread(); });
}

bool TGIFPainterList::hasPaintersElsewhere() const
{
    std::lock_guard<std::mutex> guard(m_);
    return std::any_of(painters_.begin(), painters_.end(),
                       [](const std::shared_ptr<TGIFListedPainter>& p) { return !p->RunsOnThisThread(); });
}

std::shared_ptr<TGIFListedPainter> TGIFPainterList::drawPainter() const
{
    std::lock_guard<std::mutex> guard(m_);
    return draw_.lock();
}

void TGIFPainterList::keepDrawPicture(const TGIFListedPainter* painter,
                                      std::shared_ptr<const Picture> picture)
{
    std::lock_guard<std::mutex> guard(m_);
    if (draw_.lock().get() == painter)
        drawPicture_ = std::move(picture);
}

std::shared_ptr<const Picture> TGIFPainterList::drawPicture(const void* canvas, const TGIFRect& rect) const
{
    std::lock_guard<std::mutex> guard(m_);
    return canvas && drawCanvas_.lock().get() == canvas && rect == drawRect_ ? drawPicture_ : nullptr;
}

void TGIFPainterList::dropDrawPicture()
{
    std::lock_guard<std::mutex> guard(m_);
    drawPicture_.reset();
    drawCanvas_.reset();
}

bool TGIFPainterList::beginDraw()
{
    std::lock_guard<std::mutex> guard(m_);
    if (drawing_)
        return false;
    drawing_ = true;
    return true;
}

void TGIFPainterList::endDraw()
{
    std::lock_guard<std::mutex> guard(m_);
    drawing_ = false;
}

void PaintStop(TGIFImage& image)
{
    // Hold a reference: a painter's thread may outlive the image's list.
    std::shared_ptr<TGIFPainterList> list = image.PainterListPtr();
    do {
        {
            std::lock_guard<std::recursive_mutex> guard(list->Lock());
            for (const std::shared_ptr<TGIFListedPainter>& p : list->snapshot()) p->Stop();
        }
        // Painters made meanwhile on other threads are stopped by the next round.
    } while (list->waitForStopped());
    list->dropDrawPicture();
}

void StopDraw(TGIFImage& image)
{
    TGIFPainterList& list = image.PainterList();
    std::shared_ptr<TGIFListedPainter> painter;
    {
        std::lock_guard<std::recursive_mutex> guard(list.Lock());
        painter = list.drawPainter();
        if (painter)
            painter->Stop();
    }
    if (painter && !painter->RunsOnThisThread())
        painter->WaitFor();
    list.dropDrawPicture();
}

}  // namespace pelko
