#include "gui/export/jpg_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "engine/export/export_frame.h"
#include "engine/export/export_settings.h"
#include "gui/app/picture_image.h"
#include "gui/export/export_form_parts.h"
#include "gui/export/export_preview.h"

namespace pelko {

TJPGForm::TJPGForm(const QString& caption, const Picture& picture, const JpgFormValues& values,
                   QWidget* parent)
    : QDialog(parent), picture_(std::make_shared<const Picture>(picture))
{
    setObjectName("JPGForm");
    setWindowTitle(caption);
    worker_.setMaxThreadCount(1);

    auto* group = new QGroupBox("Compression/Quality");
    quality_ = new QSlider(Qt::Horizontal);
    quality_->setObjectName("quality");
    quality_->setRange(0, kMaxJpegQuality);
    quality_->setTickPosition(QSlider::TicksBelow);
    quality_->setTickInterval(5);
    quality_->setPageStep(5);
    value_ = new QLabel;
    value_->setObjectName("qualityValue");
    value_->setMinimumWidth(30);
    value_->setFrameShape(QFrame::Panel);
    value_->setFrameShadow(QFrame::Sunken);
    value_->setAlignment(Qt::AlignCenter);
    size_ = new QLabel;
    size_->setObjectName("fileSize");
    auto* sliderRow = new QHBoxLayout;
    sliderRow->addWidget(new QLabel("0"));
    sliderRow->addWidget(quality_, 1);
    sliderRow->addWidget(new QLabel("100"));
    sliderRow->addSpacing(16);
    sliderRow->addWidget(value_);
    auto* groupRows = new QVBoxLayout(group);
    groupRows->addLayout(sliderRow);
    groupRows->addWidget(size_);

    auto* previews = new QHBoxLayout;
    previews->addWidget(titledPreview("Before", before_));
    previews->addWidget(titledPreview("After", after_));
    before_->setImage(toImage(previewPart(picture)));

    const ExportButtons buttons = makeExportButtons(this);
    byDefault_ = buttons.byDefault;
    showAlways_ = buttons.showAlways;
    save_ = buttons.save;
    cancel_ = buttons.cancel;
    connect(byDefault_, &QToolButton::clicked, this, [this] { setValues(JpgFormValues{}); });
    connect(quality_, &QSlider::valueChanged, this, &TJPGForm::qualityChanged);

    auto* top = new QVBoxLayout(this);
    top->addWidget(group);
    top->addLayout(previews);
    top->addLayout(buttons.row);
    top->setSizeConstraint(QLayout::SetFixedSize);
    setValues(values);
    if (shownQuality_ < 0 && !running_)
        qualityChanged(quality_->value());  // the slider did not move: still the first preview
}

TJPGForm::~TJPGForm()
{
    worker_.clear();
    worker_.waitForDone();
}

JpgFormValues TJPGForm::values() const
{
    return {quality_->value(), showAlways_->isChecked()};
}

void TJPGForm::setValues(const JpgFormValues& values)
{
    quality_->setValue(std::clamp(values.quality, 0, kMaxJpegQuality));
    showAlways_->setChecked(values.showAlways);
}

void TJPGForm::qualityChanged(int quality)
{
    value_->setText(QString::number(quality));
    if (running_)
        waiting_ = quality;
    else
        start(quality);
}

void TJPGForm::start(int quality)
{
    running_ = true;
    waiting_.reset();
    QPointer<TJPGForm> self(this);
    std::shared_ptr<const Picture> picture = picture_;
    worker_.start([self, picture, quality] {
        QImage after;
        std::size_t bytes = 0;
        QString error;
        try {
            const JpegPreview preview = jpegPreview(*picture, quality);
            after = toImage(previewPart(preview.after));
            bytes = preview.bytes;
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        }
        // the form waits for this job before it goes, so self is still there
        QMetaObject::invokeMethod(
            self.data(),
            [self, quality, after, bytes, error] {
                if (self)
                    self->arrived(quality, after, bytes, error);
            },
            Qt::QueuedConnection);
    });
}

void TJPGForm::arrived(int quality, const QImage& after, std::size_t bytes, const QString& error)
{
    running_ = false;
    if (waiting_) {
        start(*waiting_);  // a newer quality: this one is not shown
        return;
    }
    shownQuality_ = quality;
    shownBytes_ = bytes;
    after_->setImage(after);
    size_->setText(error.isEmpty() ? QString("File size: %1 bytes").arg(bytes) : error);
    emit previewShown(quality);
}

}  // namespace pelko
