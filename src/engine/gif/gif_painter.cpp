#include "engine/gif/gif_painter.h"

// The first cut of the painter's interface: the bodies follow.

namespace pelko {

struct TGIFPainter::Buffers {};

TGIFPainter::TGIFPainter(TGIFImage& image, std::shared_ptr<GifCanvas> canvas, const TGIFRect& rect,
                         TGIFDrawOptions options, GifPaintSetup setup)
    : image_(image), canvas_(std::move(canvas)), rect_(rect), options_(options), setup_(std::move(setup))
{
}
TGIFPainter::~TGIFPainter() = default;
void TGIFPainter::Start() {}
void TGIFPainter::Stop() {}
void TGIFPainter::Pause() {}
void TGIFPainter::Resume() {}
void TGIFPainter::Restart() {}
void TGIFPainter::SetAnimationSpeed(int) {}
int TGIFPainter::GetAnimationSpeed() const
{
    return speed_;
}
void TGIFPainter::SetActiveImage(int) {}
int TGIFPainter::GetActiveImage() const
{
    return activeFrame_;
}
bool TGIFPainter::GetStarted() const
{
    return started_;
}
bool TGIFPainter::GetTerminated() const
{
    return terminated_;
}
bool TGIFPainter::GetPaused() const
{
    return paused_;
}
bool TGIFPainter::GetRunning() const
{
    return running_;
}
bool TGIFPainter::GetFinished() const
{
    return finished_;
}
TDisposalMethod TGIFPainter::GetDisposal() const
{
    return disposal_;
}
TDisposalMethod TGIFPainter::GetPreviousDisposal() const
{
    return previousDisposal_;
}
std::exception_ptr TGIFPainter::GetError() const
{
    return error_;
}
std::string TGIFPainter::GetErrorMessage() const
{
    return {};
}
bool TGIFPainter::WaitFor() const
{
    return false;
}
bool TGIFPainter::RunsOnThisThread() const
{
    return false;
}

std::shared_ptr<TGIFPainter> InternalPaint(TGIFImage&, std::shared_ptr<GifCanvas>, const TGIFRect&,
                                           TGIFDrawOptions, GifPaintSetup)
{
    return nullptr;
}
std::shared_ptr<TGIFPainter> Paint(TGIFImage&, std::shared_ptr<GifCanvas>, const TGIFRect&, TGIFDrawOptions,
                                   GifPaintSetup)
{
    return nullptr;
}
void Draw(TGIFImage&, std::shared_ptr<GifCanvas>, const TGIFRect&, GifPaintSetup) {}
void PaintStart(TGIFImage&) {}
void PaintPause(TGIFImage&) {}
void PaintResume(TGIFImage&) {}
void PaintRestart(TGIFImage&) {}
void PaintStop(TGIFImage&) {}
void StopDraw(TGIFImage&) {}
std::vector<std::shared_ptr<TGIFPainter>> GetPainters(const TGIFImage&)
{
    return {};
}
std::shared_ptr<TGIFPainter> GetDrawPainter(const TGIFImage&)
{
    return nullptr;
}

}  // namespace pelko
