#pragma once
// GifPreviewBox: a paint box that draws its picture at its top-left corner
// (the "Before" and "After" of the GIF colour options).

#include <QImage>
#include <QWidget>

namespace pelko {

class GifPreviewBox : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    void setImage(const QImage& image)
    {
        image_ = image;
        update();
    }
    const QImage& image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

}  // namespace pelko
