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
//
// The painters themselves (TGIFPainter, engine/painter) are seen here only
// as TGIFListedPainter: what the image and the optimizers need to stop
// them, wait for them and change their speed. So the image stops its
// painters when it is cleared, changed or destroyed without the codec
// depending on the painter.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/gif/gif_types.h"
#include "engine/image/picture.h"

namespace pelko {

class TGIFImage;
class TGIFPainterList;

// A painter as its image's list sees it. TGIFPainter (engine/painter) is
// the one kind; its header tells what each of these does.
class TGIFListedPainter {
public:
    virtual void Stop() = 0;
    virtual bool WaitFor() const = 0;
    virtual void SetAnimationSpeed(int speed) = 0;
    virtual bool GetTerminated() const = 0;
    virtual bool RunsOnThisThread() const = 0;
    virtual const TGIFRect& GetRect() const = 0;
    // The canvas the painter shows its pictures on; the list only compares
    // it with others.
    virtual std::shared_ptr<const void> CanvasIdentity() const = 0;

protected:
    virtual ~TGIFListedPainter() = default;

private:
    friend class TGIFPainterList;
    // The run has ended and the painter has left its list.
    virtual void markFinished() = 0;
};

class TGIFPainterList {
public:
    TGIFPainterList() = default;
    TGIFPainterList(const TGIFPainterList&) = delete;
    TGIFPainterList& operator=(const TGIFPainterList&) = delete;

    std::recursive_mutex& Lock() { return lock_; }

    void add(std::shared_ptr<TGIFListedPainter> painter, bool asDrawPainter);
    // Takes an ending painter out (and out of the draw painter slot), marks
    // it finished and wakes whoever waits for painters to end.
    void remove(TGIFListedPainter* painter);
    std::vector<std::shared_ptr<TGIFListedPainter>> snapshot() const;
    bool empty() const;

    // Blocks until no painter that was asked to stop and runs on another
    // thread is left. Then true when painters of other threads (new ones)
    // remain.
    bool waitForStopped();
    // True when a painter in the list runs (or will run) on another thread.
    bool hasPaintersElsewhere() const;

    std::shared_ptr<TGIFListedPainter> drawPainter() const;

    // The last picture the draw painter showed, for the canvas and rectangle
    // it painted; shown again by Draw once that painter has ended.
    void keepDrawPicture(const TGIFListedPainter* painter, std::shared_ptr<const Picture> picture);
    std::shared_ptr<const Picture> drawPicture(const void* canvas, const TGIFRect& rect) const;
    void dropDrawPicture();

    // Guards Draw against itself: false when a draw is already in progress.
    bool beginDraw();
    void endDraw();

private:
    bool stoppedElsewhere() const;  // under m_

    std::recursive_mutex lock_;
    mutable std::mutex m_;
    std::condition_variable changed_;
    std::vector<std::shared_ptr<TGIFListedPainter>> painters_;
    std::weak_ptr<TGIFListedPainter> draw_;
    std::weak_ptr<const void> drawCanvas_;
    TGIFRect drawRect_;
    std::shared_ptr<const Picture> drawPicture_;
    bool drawing_ = false;
};

// Stops every painter of the image and waits until all have ended, except
// one running on this thread (a notification may stop its own painter:
// it ends when the notification returns).
void PaintStop(TGIFImage& image);
// Stops the draw painter (the one Draw made) and waits for it.
void StopDraw(TGIFImage& image);

}  // namespace pelko
