#pragma once
// TGIFPainter: plays an animated TGIFImage onto a GifCanvas. It walks the
// frames, honours each frame's delay, disposal and transparency, loops as
// the loop extension and the draw options say, and runs either on a thread
// of its own (goAsync) or to the end in the caller's thread.
//
// Every image keeps its painters in a list (gif_painter_list.h). The image
// operations below act on all of them; the optimizers stop them before they
// rewrite frames, and a painter reads frames only under the image's painter
// lock (GIFImagePainterLock).
//
// Threads: a painter thread times, composes frames into its own pictures
// and hands each finished picture to GifCanvas::paintFrame; notifications
// run on that thread too. Neither may wait for the thread that stops
// painters. While painters run, change the image only through the
// operations that stop them (Clear, SetDrawOptions, StopDraw, PaintStop,
// Optimize, OptimizeColorMap) or under its painter lock.

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/gif/gif_painter_list.h"
#include "engine/gif/gif_types.h"
#include "engine/image/picture.h"
#include "engine/painter/gif_canvas.h"
#include "engine/painter/painter_clock.h"

namespace pelko {

class TGIFImage;
class TGIFPainter;
class TGIFSubImage;

// A notification of a painter; runs on the painter's thread.
using TGIFPainterEvent = std::function<void(TGIFPainter& painter)>;

// What a painter is given beside its image, canvas, rectangle and options.
struct GifPaintSetup {
    TGIFPainterEvent OnStartPaint;   // a run begins (also after a restart)
    TGIFPainterEvent OnLoop;         // a new pass begins after something was painted
    TGIFPainterEvent OnBeforePaint;  // the active frame is about to be painted
    TGIFPainterEvent OnAfterPaint;   // may move the active frame (SetActiveImage)
    TGIFPainterEvent OnEndPaint;     // the run is over (also after an error)
    // Null: defaultPainterClock().
    std::shared_ptr<PainterClock> clock;
};

class TGIFPainter : public TGIFListedPainter, public std::enable_shared_from_this<TGIFPainter> {
public:
    // Use InternalPaint or Paint, which also put the painter in the image's
    // list. options lose goAsync and goAnimate when the image has one frame.
    TGIFPainter(TGIFImage& image, std::shared_ptr<GifCanvas> canvas, const TGIFRect& rect,
                TGIFDrawOptions options, GifPaintSetup setup);
    ~TGIFPainter() override;
    TGIFPainter(const TGIFPainter&) = delete;
    TGIFPainter& operator=(const TGIFPainter&) = delete;

    // With goAsync: starts the thread (once). Without: paints to the end in
    // this thread, then raises the captured error, if any.
    void Start();
    // Asks the painter to end: a waiting painter wakes at once, a paused one
    // resumes and one not yet started starts and ends at once. Does not wait.
    void Stop() override;
    // Holds the painter at its next wait (or before its next frame) until
    // Resume; the frame delay left at the pause is kept.
    void Pause();
    void Resume();
    // Plays again from the first frame, at once.
    void Restart();

    // Percent, clamped to 0..1000. A painter with a wake event is woken and
    // goes on at the new speed; one without restarts at its first frame.
    void SetAnimationSpeed(int speed) override;
    int GetAnimationSpeed() const;
    // Within 0..frame count - 1: the painter continues at frame index.
    void SetActiveImage(int index);
    // The frame being shown; -1 when not painting.
    int GetActiveImage() const;

    TGIFImage& Image() const { return image_; }
    GifCanvas& Canvas() const { return *canvas_; }
    const std::shared_ptr<GifCanvas>& CanvasPtr() const { return canvas_; }
    const TGIFRect& GetRect() const override { return rect_; }
    std::shared_ptr<const void> CanvasIdentity() const override { return canvas_; }
    TGIFDrawOptions GetDrawOptions() const { return options_; }
    // True with goAsync and goAnimate, more than one frame and a speed of
    // at least 0: waits then end early on a speed change.
    bool HasWakeEvent() const { return hasWakeEvent_; }

    bool GetStarted() const;              // the first frame has been painted
    bool GetTerminated() const override;  // Stop was asked or an error ended it
    bool GetPaused() const;
    bool GetRunning() const;   // Start was called and the run has not ended
    bool GetFinished() const;  // the run has ended; the painter left its list
    // Disposal of the frame just painted and of the one before it.
    TDisposalMethod GetDisposal() const;
    TDisposalMethod GetPreviousDisposal() const;

    // The error that ended the run, or null.
    std::exception_ptr GetError() const;
    std::string GetErrorMessage() const;

    // Blocks until the run has ended (also when it never started: false
    // then). Not for the painter's own thread.
    bool WaitFor() const override;

    // True when this painter runs on the calling thread.
    bool RunsOnThisThread() const override;

private:
    struct Buffers;

    void run();
    void execute();
    void finish();
    void markFinished() override;
    // Waits until the deadline, a wake-up (when wake) or an end request;
    // keeps the time left over a pause. True when woken.
    bool waitUntil(PainterClock::Millis deadline, bool wake);
    void waitWhilePaused();
    bool stopRequested() const;  // terminated or restart, under m_
    void paintFrame(int index, TDisposalMethod disposal, TDisposalMethod previous);
    void present();
    void notify(const TGIFPainterEvent& event);

    TGIFImage& image_;
    std::shared_ptr<TGIFPainterList> list_;
    std::shared_ptr<GifCanvas> canvas_;
    TGIFRect rect_;
    TGIFDrawOptions options_;
    GifPaintSetup setup_;
    std::shared_ptr<PainterClock> clock_;
    bool hasWakeEvent_ = false;

    mutable std::mutex m_;
    mutable std::condition_variable cv_;
    std::thread thread_;
    std::thread::id runner_;
    bool startCalled_ = false;
    bool running_ = false;
    bool finished_ = false;
    bool terminated_ = false;
    bool restart_ = false;
    bool paused_ = false;
    bool wake_ = false;
    bool moved_ = false;
    bool started_ = false;
    int speed_ = 100;
    int activeFrame_ = -1;
    TDisposalMethod disposal_ = dmNoDisposal;
    TDisposalMethod previousDisposal_ = dmNoDisposal;
    std::exception_ptr error_;

    std::unique_ptr<Buffers> buffers_;  // used by the painting thread only
};

// ---- the image's painters ----------------------------------------------

// Makes a painter of image for canvas and rect and puts it in the image's
// list. Nothing (null) when the image has no frames or rect is empty. With
// goAsync (kept only for an animation of more than one frame) the painter
// is returned not yet running: Start it. Without, it paints to the end
// right away in this thread, raises the error that ended it, if any, and
// null is returned.
std::shared_ptr<TGIFPainter> InternalPaint(TGIFImage& image, std::shared_ptr<GifCanvas> canvas,
                                           const TGIFRect& rect, TGIFDrawOptions options,
                                           GifPaintSetup setup = {});

// InternalPaint, and starts the painter it returns.
std::shared_ptr<TGIFPainter> Paint(TGIFImage& image, std::shared_ptr<GifCanvas> canvas, const TGIFRect& rect,
                                   TGIFDrawOptions options, GifPaintSetup setup = {});

// Shows the image in rect with its own draw options. A still image (one
// frame, or no goAnimate) is composed and handed to the canvas at once. An
// animation gets the image's draw painter: kept when it already paints on
// this canvas into this rectangle, else the old one is stopped (StopDraw)
// and a new one started. Nothing for an empty image or rectangle, or when a
// draw of this image is in progress.
void Draw(TGIFImage& image, std::shared_ptr<GifCanvas> canvas, const TGIFRect& rect,
          GifPaintSetup setup = {});

// Start (or resume from its creation), pause, resume and restart every
// painter of the image. PaintStop and StopDraw, which the image itself
// uses, are in engine/gif/gif_painter_list.h.
void PaintStart(TGIFImage& image);
void PaintPause(TGIFImage& image);
void PaintResume(TGIFImage& image);
void PaintRestart(TGIFImage& image);

// The painters in the image's list, and the draw painter (or null).
std::vector<std::shared_ptr<TGIFPainter>> GetPainters(const TGIFImage& image);
std::shared_ptr<TGIFPainter> GetDrawPainter(const TGIFImage& image);

}  // namespace pelko
