#include "gui/output/codec_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/avi/video_codecs.h"

namespace pelko {
namespace {

QString shownName(const VideoCodecInfo& c)
{
    return QString("%1 (%2)").arg(QString::fromStdString(c.name), QString::fromStdString(c.fourcc).trimmed());
}

}  // namespace

CodecWindow::CodecWindow(const std::vector<VideoCodecInfo>& codecs, const CompressOptions& start,
                         QWidget* parent)
    : QDialog(parent), codecs_(codecs)
{
    setObjectName("CodecWindow");
    setWindowTitle("Video Compression");
    list_ = new QComboBox;
    list_->setObjectName("codecList");
    for (const VideoCodecInfo& c : codecs_) {
        list_->addItem(shownName(c));
        qualities_.push_back(c.defaultQuality);
    }
    quality_ = new QSlider(Qt::Horizontal);
    quality_->setObjectName("codecQuality");
    quality_->setRange(0, 100);
    qualityValue_ = new QLabel;
    qualityValue_->setMinimumWidth(qualityValue_->fontMetrics().horizontalAdvance("100"));
    auto* qualityRow = new QHBoxLayout;
    qualityRow->addWidget(quality_, 1);
    qualityRow->addWidget(qualityValue_);
    keyFrames_ = new QSpinBox;
    keyFrames_->setObjectName("keyFrameInterval");
    keyFrames_->setRange(0, 9999);
    keyFrames_->setSpecialValueText("Codec's default");
    keyFrames_->setSuffix(" frames");

    auto* form = new QFormLayout;
    form->addRow("Compressor:", list_);
    form->addRow("Compression quality:", qualityRow);
    form->addRow("Key frame every", keyFrames_);

    ok_ = new QPushButton("OK");
    ok_->setDefault(true);
    cancel_ = new QPushButton("Cancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QComboBox::currentIndexChanged, this, &CodecWindow::codecChosen);
    connect(quality_, &QSlider::valueChanged, this, [this](int v) {
        qualityValue_->setText(QString::number(v));
        if (shown_ >= 0 && codecs_[std::size_t(shown_)].hasQuality)
            qualities_[std::size_t(shown_)] = v;
    });

    if (!selectCodec(start.fourcc) && !codecs_.empty())
        list_->setCurrentIndex(0);
    if (const VideoCodecInfo* c = current(); c && c->hasQuality && start.quality >= 0) {
        qualities_[std::size_t(list_->currentIndex())] = std::min(start.quality, 100);
        quality_->setValue(std::min(start.quality, 100));
    }
    keyFrames_->setValue(std::max(start.keyFrameInterval, 0));
    codecChosen();
}

bool CodecWindow::selectCodec(const std::string& fourcc)
{
    const VideoCodecInfo* wanted = findVideoCodec(fourcc);
    for (std::size_t i = 0; wanted && i < codecs_.size(); ++i)
        if (codecs_[i].fourcc == wanted->fourcc) {
            list_->setCurrentIndex(int(i));
            return true;
        }
    return false;
}

const VideoCodecInfo* CodecWindow::current() const
{
    const int i = list_->currentIndex();
    return i >= 0 && i < int(codecs_.size()) ? &codecs_[std::size_t(i)] : nullptr;
}

void CodecWindow::codecChosen()
{
    const VideoCodecInfo* c = current();
    shown_ = -1;  // the slider's moves below are not the user's
    quality_->setEnabled(c && c->hasQuality);
    quality_->setValue(c ? (c->hasQuality ? qualities_[std::size_t(list_->currentIndex())] : 100) : 0);
    qualityValue_->setText(QString::number(quality_->value()));
    keyFrames_->setEnabled(c && c->hasKeyFrames);
    shown_ = list_->currentIndex();
    ok_->setEnabled(c != nullptr);
}

CompressOptions CodecWindow::choice() const
{
    CompressOptions o;
    const VideoCodecInfo* c = current();
    if (!c)
        return o;
    o.fourcc = c->fourcc;
    o.quality = c->hasQuality ? quality_->value() : -1;
    o.keyFrameInterval = c->hasKeyFrames ? keyFrames_->value() : 0;
    return o;
}

}  // namespace pelko
