#include "engine/painter/gif_painter.h"

#include <algorithm>

#include "engine/gif/gif_extensions.h"
#include "engine/gif/gif_image.h"
#include "engine/gif/gif_painter_list.h"
#include "engine/gif/gif_settings.h"
#include "engine/painter/gif_frame_draw.h"

namespace pelko {

namespace {

using Millis = PainterClock::Millis;

bool disposesToBackground(TDisposalMethod d)
{
    return d == dmBackground;
}
bool disposesToPrevious(TDisposalMethod d)
{
    return d == dmPrevious;
}

// a / b rounded half away from zero, b > 0.
Millis roundDiv(Millis a, Millis b)
{
    return a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b);
}

}  // namespace

// What only the painting thread touches: the pictures it composes into and
// the time a pause took from the current wait.
struct TGIFPainter::Buffers {
    int screenWidth = 0, screenHeight = 0;
    Color background = 0;
    bool useBuffers = false;
    Picture backgroundPicture;  // what lay behind the target (goTransparent)
    Picture target;             // what the canvas shows
    Picture backup;             // the picture before the frame (with buffers)
    Picture frame;              // a dmPrevious frame over a disposed one
    std::shared_ptr<Picture> shown;
    Millis paused = 0;
};

TGIFPainter::TGIFPainter(TGIFImage& image, std::shared_ptr<GifCanvas> canvas, const TGIFRect& rect,
                         TGIFDrawOptions options, GifPaintSetup setup)
    : image_(image),
      list_(image.PainterListPtr()),
      canvas_(std::move(canvas)),
      rect_(rect),
      options_(options),
      setup_(std::move(setup)),
      clock_(setup_.clock ? setup_.clock : defaultPainterClock()),
      buffers_(std::make_unique<Buffers>())
{
    std::lock_guard<std::recursive_mutex> frames(list_->Lock());
    const TGIFImageList& images = image.Images();
    if (images.GetCount() <= 1) {
        options_.Exclude(goAsync);
        options_.Exclude(goAnimate);
    }
    speed_ = image.GetAnimationSpeed();
    hasWakeEvent_ =
        options_.Contains(goAsync) && options_.Contains(goAnimate) && images.GetCount() > 1 && speed_ >= 0;

    Buffers& b = *buffers_;
    b.screenWidth = image.GetWidth();
    b.screenHeight = image.GetHeight();
    b.useBuffers = options_.Contains(goClearOnLoop);
    bool background = options_.Contains(goClearOnLoop);
    for (int i = 0; i < images.GetCount(); ++i) {
        const TGIFGraphicControlExtension* g = images.GetImage(i)->GraphicControlExtension();
        const TDisposalMethod d = g ? g->GetDisposal() : dmNone;
        b.useBuffers = b.useBuffers || disposesToBackground(d) || disposesToPrevious(d);
        background = background || disposesToBackground(d);
    }
    b.background = PainterBackgroundColor(image, canvas_->windowColor());
    const int w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;
    Picture behind = canvas_->backdrop(rect);
    if (behind.width() != w || behind.height() != h) {
        behind = Picture(w, h);
        behind.fill(b.background);
    }
    if (b.useBuffers) {
        b.backup = behind;
        if (options_.Contains(goTransparent) && background)
            b.backgroundPicture = behind;
    }
    b.target = std::move(behind);
}

TGIFPainter::~TGIFPainter()
{
    if (thread_.joinable()) {
        if (thread_.get_id() == std::this_thread::get_id())
            thread_.detach();  // the thread is ending and let go of the last reference
        else
            thread_.join();
    }
}

void TGIFPainter::Start()
{
    const bool async = options_.Contains(goAsync);
    {
        std::lock_guard<std::mutex> lock(m_);
        if (startCalled_)
            return;
        startCalled_ = true;
        running_ = true;
        if (async) {
            std::shared_ptr<TGIFPainter> self = shared_from_this();
            thread_ = std::thread([self] { self->run(); });
            runner_ = thread_.get_id();
            return;
        }
        runner_ = std::this_thread::get_id();
    }
    run();
    if (std::exception_ptr e = GetError())
        std::rethrow_exception(e);
}

void TGIFPainter::Stop()
{
    bool start = false;
    {
        std::lock_guard<std::mutex> lock(m_);
        terminated_ = true;
        wake_ = true;
        paused_ = false;
        start = !startCalled_ && options_.Contains(goAsync);
    }
    cv_.notify_all();
    if (start)
        Start();  // runs, sees the request and ends
}

void TGIFPainter::Pause()
{
    std::lock_guard<std::mutex> lock(m_);
    paused_ = true;
    cv_.notify_all();
}

void TGIFPainter::Resume()
{
    std::lock_guard<std::mutex> lock(m_);
    paused_ = false;
    cv_.notify_all();
}

void TGIFPainter::Restart()
{
    std::lock_guard<std::mutex> lock(m_);
    restart_ = true;
    wake_ = true;
    cv_.notify_all();
}

void TGIFPainter::SetAnimationSpeed(int speed)
{
    std::lock_guard<std::mutex> lock(m_);
    speed_ = std::clamp(speed, 0, 1000);
    if (hasWakeEvent_)
        wake_ = true;
    else
        restart_ = true;
    cv_.notify_all();
}

int TGIFPainter::GetAnimationSpeed() const
{
    std::lock_guard<std::mutex> lock(m_);
    return speed_;
}

void TGIFPainter::SetActiveImage(int index)
{
    int count = 0;
    {
        std::lock_guard<std::recursive_mutex> frames(list_->Lock());
        count = image_.Images().GetCount();
    }
    if (index < 0 || index >= count)
        return;
    std::lock_guard<std::mutex> lock(m_);
    activeFrame_ = index;
    moved_ = true;
}

int TGIFPainter::GetActiveImage() const
{
    std::lock_guard<std::mutex> lock(m_);
    return activeFrame_;
}

bool TGIFPainter::GetStarted() const
{
    std::lock_guard<std::mutex> lock(m_);
    return started_;
}

bool TGIFPainter::GetTerminated() const
{
    std::lock_guard<std::mutex> lock(m_);
    return terminated_;
}

bool TGIFPainter::GetPaused() const
{
    std::lock_guard<std::mutex> lock(m_);
    return paused_;
}

bool TGIFPainter::GetRunning() const
{
    std::lock_guard<std::mutex> lock(m_);
    return running_;
}

bool TGIFPainter::GetFinished() const
{
    std::lock_guard<std::mutex> lock(m_);
    return finished_;
}

TDisposalMethod TGIFPainter::GetDisposal() const
{
    std::lock_guard<std::mutex> lock(m_);
    return disposal_;
}

TDisposalMethod TGIFPainter::GetPreviousDisposal() const
{
    std::lock_guard<std::mutex> lock(m_);
    return previousDisposal_;
}

std::exception_ptr TGIFPainter::GetError() const
{
    std::lock_guard<std::mutex> lock(m_);
    return error_;
}

std::string TGIFPainter::GetErrorMessage() const
{
    std::exception_ptr e = GetError();
    if (!e)
        return {};
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& x) {
        return x.what();
    } catch (...) {
        return "Unknown error";
    }
}

bool TGIFPainter::WaitFor() const
{
    std::unique_lock<std::mutex> lock(m_);
    if (!startCalled_)
        return false;
    cv_.wait(lock, [&] { return finished_; });
    return true;
}

bool TGIFPainter::RunsOnThisThread() const
{
    std::lock_guard<std::mutex> lock(m_);
    return startCalled_ && runner_ == std::this_thread::get_id();
}

// ---- the run ----------------------------------------------------------------

void TGIFPainter::run()
{
    try {
        execute();
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_);
        error_ = std::current_exception();
        terminated_ = true;
    }
    {
        std::lock_guard<std::mutex> lock(m_);
        activeFrame_ = -1;
    }
    try {
        notify(setup_.OnEndPaint);
    } catch (...) {
        std::lock_guard<std::mutex> lock(m_);
        if (!error_)
            error_ = std::current_exception();
    }
    finish();
}

void TGIFPainter::finish()
{
    buffers_.reset();
    list_->remove(this);  // marks it finished
}

void TGIFPainter::markFinished()
{
    std::lock_guard<std::mutex> lock(m_);
    running_ = false;
    finished_ = true;
    cv_.notify_all();
}

void TGIFPainter::notify(const TGIFPainterEvent& event)
{
    if (event)
        event(*this);
}

bool TGIFPainter::stopRequested() const
{
    return terminated_ || restart_;
}

bool TGIFPainter::waitUntil(Millis deadline, bool wake)
{
    std::unique_lock<std::mutex> lock(m_);
    for (;;) {
        if (stopRequested())
            return false;
        if (paused_) {
            const Millis pausedAt = clock_->now();
            clock_->waitUntil(lock, cv_, PainterClock::kForever, [&] { return !paused_ || terminated_; });
            const Millis pause = clock_->now() - pausedAt;
            buffers_->paused += pause;
            if (deadline != PainterClock::kForever)
                deadline += pause;  // the frame keeps the time it had left
            continue;
        }
        if (wake && wake_) {
            wake_ = false;
            return true;
        }
        if (deadline != PainterClock::kForever && clock_->now() >= deadline)
            return false;
        clock_->waitUntil(lock, cv_, deadline, [&] { return stopRequested() || paused_ || (wake && wake_); });
    }
}

void TGIFPainter::waitWhilePaused()
{
    waitUntil(clock_->now(), false);
}

void TGIFPainter::execute()
{
    const bool async = options_.Contains(goAsync);
    const bool animate = options_.Contains(goAnimate);
    const bool loop = options_.Contains(goLoop);
    const bool continuous = options_.Contains(goLoopContinously);
    std::recursive_mutex& frames = list_->Lock();
    auto frameCount = [&] {
        std::lock_guard<std::recursive_mutex> guard(frames);
        return image_.Images().GetCount();
    };
    auto ended = [&] {
        std::lock_guard<std::mutex> lock(m_);
        return stopRequested();
    };

    {
        std::lock_guard<std::mutex> lock(m_);
        restart_ = true;
    }
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_);
            if (!restart_ || terminated_)
                break;
            activeFrame_ = 0;
        }
        notify(setup_.OnStartPaint);
        {
            std::lock_guard<std::mutex> lock(m_);
            started_ = false;
            restart_ = false;
            wake_ = false;  // the restart's own wake-up is spent
            previousDisposal_ = dmNoDisposal;
        }
        // An endless count is -1: only a positive count goes down.
        std::int64_t loopCount = 1;
        int loopStart = 0;
        bool loopSeen = false;
        std::int64_t wait = async ? 0 : 1;  // delay units before the next frame
        TDisposalMethod previous = dmNoDisposal;
        Millis lastTime = clock_->now();
        Millis overrun = 0;
        bool painted = false;

        while ((loopCount != 0 || continuous) && !ended()) {
            {
                std::lock_guard<std::mutex> lock(m_);
                activeFrame_ = loopStart;
            }
            if (painted)
                notify(setup_.OnLoop);
            for (;;) {
                int index = GetActiveImage();
                if (index < 0 || index >= frameCount() || ended())
                    break;

                // Wait for the frame's time.
                if (wait >= 1) {
                    const Millis now = clock_->now();
                    const int speed = GetAnimationSpeed();
                    Millis waitTime = 0;
                    if (speed == 0) {
                        waitTime = async ? PainterClock::kForever : Millis(GIFMaximumDelay) * GIFDelayExp;
                    } else {
                        const Millis late = (now - lastTime - overrun) / 2;
                        waitTime = roundDiv((wait * GIFDelayExp - late) * 100, speed);
                        overrun = waitTime;
                    }
                    lastTime = now;
                    buffers_->paused = 0;
                    bool woken = false;
                    if (async) {
                        if (waitTime > 0 || speed == 0)
                            woken = waitUntil(waitTime == PainterClock::kForever ? waitTime : now + waitTime,
                                              hasWakeEvent_);
                    } else {
                        waitUntil(now + std::max<Millis>(waitTime, 1), false);
                    }
                    if (woken) {
                        overrun = 0;
                        lastTime = clock_->now();
                    } else {
                        lastTime += buffers_->paused;  // a pause is not lateness
                    }
                } else {
                    waitWhilePaused();
                    std::this_thread::yield();
                }
                if (ended())
                    break;

                // The frame to paint now (SetActiveImage may have moved it).
                {
                    std::lock_guard<std::mutex> lock(m_);
                    index = activeFrame_;
                    moved_ = false;
                }
                notify(setup_.OnBeforePaint);
                TDisposalMethod disposal = dmNoDisposal;
                int delay = 0;
                {
                    std::lock_guard<std::recursive_mutex> guard(frames);
                    if (index >= image_.Images().GetCount())
                        break;
                    const TGIFSubImage& frame = *image_.Images().GetImage(index);
                    const TGIFExtensionList& extensions = frame.Extensions();
                    for (int e = 0; e < extensions.GetCount(); ++e) {
                        const TGIFExtension* x = extensions.GetExtension(e);
                        if (auto* loops = dynamic_cast<const TGIFAppExtNSLoop*>(x)) {
                            if (!loopSeen) {
                                loopSeen = true;
                                loopCount = loops->GetLoops();
                                if (async && (loopCount == 0 || continuous))
                                    loopCount = -1;
                                loopStart = index;
                            }
                        } else if (auto* g = dynamic_cast<const TGIFGraphicControlExtension*>(x)) {
                            disposal = g->GetDisposal();
                        }
                    }
                    if (const TGIFGraphicControlExtension* g = frame.GraphicControlExtension())
                        delay = g->GetDelay();
                    paintFrame(index, disposal, previous);
                }
                if (GetTerminated())
                    break;  // stopped, or the canvas went away
                present();
                previous = disposal;
                painted = true;
                {
                    std::lock_guard<std::mutex> lock(m_);
                    disposal_ = disposal;
                    previousDisposal_ = previous;
                    started_ = true;
                }

                // The time this frame stays.
                wait = GIFDefaultDelay;
                if (delay != 0) {
                    wait = std::max(delay, GIFMinimumDelay);
                    if (!async)
                        wait = std::min<std::int64_t>(wait, GIFMaximumDelay);
                }

                notify(setup_.OnAfterPaint);
                {
                    std::lock_guard<std::mutex> lock(m_);
                    if (!moved_)
                        activeFrame_ = index + 1;
                }
                if (!animate)
                    break;  // one frame per pass
            }
            if (loopCount > 0)
                --loopCount;
            if (!(animate && loop))
                break;
        }
    }
}

// Composes frame index into the pictures; the caller holds the painter lock.
void TGIFPainter::paintFrame(int index, TDisposalMethod disposal, TDisposalMethod previous)
{
    if (options_.Contains(goValidateCanvas) && !canvas_->valid()) {
        std::lock_guard<std::mutex> lock(m_);
        terminated_ = true;
        return;
    }
    Buffers& b = *buffers_;
    const TGIFSubImage& frame = *image_.Images().GetImage(index);
    const bool transparent = options_.Contains(goTransparent);
    const std::vector<TGIFRect> places =
        FramePlaces(frame, b.screenWidth, b.screenHeight, rect_, options_.Contains(goTile));
    if (!b.useBuffers) {
        DrawFrame(b.target, frame, places, transparent);
        return;
    }
    const Picture* background = transparent ? &b.backgroundPicture : nullptr;
    if (options_.Contains(goClearOnLoop) && index == 0)
        RestoreBackground(b.backup, places, background, b.background);
    if (disposesToPrevious(disposal)) {
        if (!disposesToBackground(previous) && !disposesToPrevious(previous)) {
            // The backup keeps the picture from before this frame.
            DrawFrame(b.target, frame, places, transparent);
        } else {
            b.frame = b.backup;
            DrawFrame(b.frame, frame, places, transparent);
            b.target = b.frame;
        }
        return;
    }
    DrawFrame(b.backup, frame, places, transparent);
    b.target = b.backup;
    if (disposesToBackground(disposal))
        RestoreBackground(b.backup, places, background, b.background);
}

void TGIFPainter::present()
{
    Buffers& b = *buffers_;
    // The canvas may still hold the last picture: reuse it only when not.
    if (b.shown && b.shown.use_count() == 1)
        *b.shown = b.target;
    else
        b.shown = std::make_shared<Picture>(b.target);
    list_->keepDrawPicture(this, b.shown);
    canvas_->paintFrame(b.shown, rect_);
}

}  // namespace pelko
