#include "gui/output/gif_preview.h"

#include <QPainter>
#include <mutex>

#include "engine/gif/gif_image.h"
#include "engine/painter/gif_canvas.h"
#include "engine/painter/gif_painter.h"
#include "gui/app/picture_image.h"

namespace pelko {

// Keeps the painter's latest picture and asks the preview, on its own
// thread, to take it. Never waits for the user-interface thread, which may
// be waiting in StopDraw for the painter to end.
class GifPreviewCanvas : public GifCanvas {
public:
    explicit GifPreviewCanvas(GifPreview* target) : target_(target) {}

    void paintFrame(std::shared_ptr<const Picture> picture, const TGIFRect&) override
    {
        std::lock_guard lock(m_);
        latest_ = std::move(picture);
        if (target_ && !asked_) {
            asked_ = true;
            QMetaObject::invokeMethod(
                target_, [target = target_] { target->takeFrame(); }, Qt::QueuedConnection);
        }
    }

    std::shared_ptr<const Picture> take()
    {
        std::lock_guard lock(m_);
        asked_ = false;
        return std::move(latest_);
    }

    // The preview is going: nothing more is handed to it.
    void detach()
    {
        std::lock_guard lock(m_);
        target_ = nullptr;
    }

private:
    std::mutex m_;
    GifPreview* target_;
    std::shared_ptr<const Picture> latest_;
    bool asked_ = false;
};

GifPreview::GifPreview(QWidget* parent) : QWidget(parent)
{
    setObjectName("gifPreview");
}

GifPreview::~GifPreview()
{
    stop();
    if (canvas_)
        canvas_->detach();
}

void GifPreview::setSurfaceSize(int width, int height)
{
    surface_ = QSize(std::max(width, 1), std::max(height, 1));
    shown_ = QImage(surface_, QImage::Format_RGB32);
    shown_.fill(Qt::white);
    setFitted(fitted_);
}

void GifPreview::setFitted(bool fitted)
{
    fitted_ = fitted;
    if (fitted) {
        setMinimumSize(1, 1);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(surface_);
    }
    update();
}

QRect GifPreview::pictureRect() const
{
    if (!fitted_ || (surface_.width() <= width() && surface_.height() <= height()))
        return QRect(QPoint(0, 0), surface_);
    const QSize fit = surface_.scaled(size(), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    return QRect(QPoint((width() - fit.width()) / 2, (height() - fit.height()) / 2), fit);
}

void GifPreview::setImage(std::shared_ptr<TGIFImage> image)
{
    stop();
    if (canvas_)
        canvas_->detach();  // a picture of the old animation may still be on its way
    image_ = std::move(image);
    framesShown_ = 0;
    shown_ = QImage(surface_, QImage::Format_RGB32);
    shown_.fill(Qt::white);
    update();
    if (!image_ || image_->GetEmpty())
        return;
    canvas_ = std::make_shared<GifPreviewCanvas>(this);
    Draw(*image_, canvas_, TGIFRect{0, 0, image_->GetWidth(), image_->GetHeight()});
}

void GifPreview::stop()
{
    if (image_)
        StopDraw(*image_);
}

void GifPreview::takeFrame()
{
    if (!canvas_)
        return;
    if (std::shared_ptr<const Picture> picture = canvas_->take()) {
        shown_.fill(Qt::white);
        QPainter p(&shown_);
        p.drawImage(QPoint(0, 0), toImage(*picture));
        ++framesShown_;
        update();
    }
}

void GifPreview::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    const QRect at = pictureRect();
    if (at.size() == shown_.size()) {
        p.drawImage(at.topLeft(), shown_);
    } else {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(at, shown_);
    }
}

}  // namespace pelko
