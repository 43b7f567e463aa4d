#pragma once
// The painters of one TGIFImage. The image owns the list; painters keep it
// alive until their threads are done with it.
//
// Two locks. The painter lock (Lock(), GIFImagePainterLock) is held while
// painters are added, stopped, paused, resumed or restarted, while a
// painter reads frames, and by the optimizers for their whole run; it is
// never held while waiting for a painter to end. The list's own mutex
// guards only membership and is what a painter takes to leave the list, so
// a painter can always end, whoever holds the painter lock.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/gif/gif_canvas.h"
#include "engine/gif/gif_types.h"
#include "engine/image/picture.h"

namespace pelko {

class TGIFPainter;

class TGIFPainterList {
public:
    TGIFPainterList() = default;
    TGIFPainterList(const TGIFPainterList&) = delete;
    TGIFPainterList& operator=(const TGIFPainterList&) = delete;

    std::recursive_mutex& Lock() { return lock_; }

    void add(std::shared_ptr<TGIFPainter> painter, bool asDrawPainter);
    // Takes an ending painter out (and out of the draw painter slot), marks
    // it finished and wakes whoever waits for painters to end.
    void remove(TGIFPainter* painter);
    std::vector<std::shared_ptr<TGIFPainter>> snapshot() const;
    bool empty() const;

    // Blocks until no painter that was asked to stop and runs on another
    // thread is left. Then true when painters of other threads (new ones)
    // remain.
    bool waitForStopped();
    // True when a painter in the list runs (or will run) on another thread.
    bool hasPaintersElsewhere() const;

    std::shared_ptr<TGIFPainter> drawPainter() const;

    // The last picture the draw painter showed, for the canvas and rectangle
    // it painted; shown again by Draw once that painter has ended.
    void keepDrawPicture(const TGIFPainter* painter, std::shared_ptr<const Picture> picture);
    std::shared_ptr<const Picture> drawPicture(const GifCanvas* canvas, const TGIFRect& rect) const;
    void dropDrawPicture();

    // Guards Draw against itself: false when a draw is already in progress.
    bool beginDraw();
    void endDraw();

private:
    bool stoppedElsewhere() const;  // under m_

    std::recursive_mutex lock_;
    mutable std::mutex m_;
    std::condition_variable changed_;
    std::vector<std::shared_ptr<TGIFPainter>> painters_;
    std::weak_ptr<TGIFPainter> draw_;
    std::weak_ptr<GifCanvas> drawCanvas_;
    TGIFRect drawRect_;
    std::shared_ptr<const Picture> drawPicture_;
    bool drawing_ = false;
};

}  // namespace pelko
