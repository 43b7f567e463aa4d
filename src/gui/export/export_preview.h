#pragma once
// ExportPreview: the "Before" or "After" panel of the BMP and JPEG dialogs.
// The picture is drawn unscaled in a box one pixel larger than it, centred
// in the panel; a picture that does not fit gets a box 2 pixels from the
// panel's edge and 4 pixels smaller than the panel, and is clipped.

#include <QImage>
#include <QRect>
#include <QWidget>

namespace pelko {

// The box of a picture of pictureSize in a panel of panelSize, in the
// panel's coordinates.
QRect exportPreviewBox(QSize panelSize, QSize pictureSize);

class ExportPreview : public QWidget {
    Q_OBJECT
public:
    explicit ExportPreview(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return image_; }
    QRect box() const { return exportPreviewBox(size(), image_.size()); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

}  // namespace pelko
