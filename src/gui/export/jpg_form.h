#pragma once
// TJPGForm: the JPEG options of "Save frame": the quality, with the picture
// "Before" and compressed at that quality and decoded again "After", and
// the size the file will have.
//
// The "After" is made on a worker thread, one at a time: a quality chosen
// while one is being made waits, and a newer choice replaces a waiting one,
// so dragging the slider over a large picture stays smooth.

#include <QDialog>
#include <QString>
#include <QThreadPool>
#include <cstddef>
#include <memory>
#include <optional>

#include "engine/image/picture.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QToolButton;

namespace pelko {

class ExportPreview;

struct JpgFormValues {
    int quality = 100;  // 0 to 100
    bool showAlways = true;
};

class TJPGForm : public QDialog {
    Q_OBJECT
public:
    TJPGForm(const QString& caption, const Picture& picture, const JpgFormValues& values,
             QWidget* parent = nullptr);
    ~TJPGForm() override;

    JpgFormValues values() const;
    void setValues(const JpgFormValues& values);

    // The quality the "After" and the size shown belong to (-1: none yet),
    // and whether a newer one is being made.
    int shownQuality() const { return shownQuality_; }
    bool previewPending() const { return running_ || waiting_.has_value(); }
    std::size_t shownBytes() const { return shownBytes_; }

    QSlider* qualitySlider() const { return quality_; }
    QLabel* qualityLabel() const { return value_; }
    QLabel* sizeLabel() const { return size_; }
    QCheckBox* showAlwaysBox() const { return showAlways_; }
    QToolButton* defaultButton() const { return byDefault_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }
    ExportPreview* beforePreview() const { return before_; }
    ExportPreview* afterPreview() const { return after_; }

signals:
    // An "After" arrived and is shown.
    void previewShown(int quality);

private:
    void qualityChanged(int quality);
    void start(int quality);
    void arrived(int quality, const QImage& after, std::size_t bytes, const QString& error);

    std::shared_ptr<const Picture> picture_;
    bool running_ = false;
    std::optional<int> waiting_;
    int shownQuality_ = -1;
    std::size_t shownBytes_ = 0;

    QSlider* quality_ = nullptr;
    QLabel* value_ = nullptr;
    QLabel* size_ = nullptr;
    QCheckBox* showAlways_ = nullptr;
    QToolButton* byDefault_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
    ExportPreview* before_ = nullptr;
    ExportPreview* after_ = nullptr;
    QThreadPool worker_;  // last member: waited for before the rest goes
};

}  // namespace pelko
