#pragma once
// GifPreview: the picture of the animated GIF options dialog. It plays a
// built animation at the size of its logical screen through the GIF
// painter, whose thread hands each finished picture over; the picture is
// taken and shown on the user-interface thread.

#include <QImage>
#include <QWidget>
#include <memory>

namespace pelko {

class GifPreviewCanvas;
class TGIFImage;

class GifPreview : public QWidget {
    Q_OBJECT
public:
    explicit GifPreview(QWidget* parent = nullptr);
    ~GifPreview() override;

    // Plays image (none: an empty white picture).
    void setImage(std::shared_ptr<TGIFImage> image);
    void setSurfaceSize(int width, int height);
    // Fitted, the animation is shown whole in the widget's area, reduced when
    // it is larger (the widget then takes any size); otherwise at 1:1, the
    // widget as large as the animation.
    void setFitted(bool fitted);
    bool fitted() const { return fitted_; }
    // Where the animation is drawn in the widget.
    QRect pictureRect() const;
    // Ends the playing; the picture stays as it is.
    void stop();

    const std::shared_ptr<TGIFImage>& image() const { return image_; }
    // What the preview shows now.
    const QImage& shown() const { return shown_; }
    // Pictures shown since the last setImage.
    int framesShown() const { return framesShown_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend class GifPreviewCanvas;
    void takeFrame();  // the painter's latest picture, on this thread

    std::shared_ptr<TGIFImage> image_;
    std::shared_ptr<GifPreviewCanvas> canvas_;
    QImage shown_;
    QSize surface_{1, 1};
    bool fitted_ = false;
    int framesShown_ = 0;
};

}  // namespace pelko
