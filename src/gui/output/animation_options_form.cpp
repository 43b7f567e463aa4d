#include "gui/output/animation_options_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/app/spin_keys.h"

namespace pelko {

namespace {

const char* const kPresets[] = {"ultrafast", "superfast", "veryfast", "faster",  "fast",
                                "medium",    "slow",      "slower",   "veryslow"};

QSpinBox* spin(const char* name, int low, int high, int value)
{
    auto* s = new QSpinBox;
    s->setObjectName(name);
    s->setRange(low, high);
    s->setValue(value);
    s->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    return s;
}

}  // namespace

TAnimationOptionsForm::TAnimationOptionsForm(const QString& fileName, OutputKind kind,
                                             const AnimationOptionsValues& values,
                                             std::function<QString()> estimate, QWidget* parent)
    : QDialog(parent), kind_(kind), start_(values), estimate_(std::move(estimate))
{
    setObjectName("AnimationOptionsForm");
    setWindowTitle(fileName);
    auto* fields = new QFormLayout;
    switch (kind) {
        case OutputKind::WebP:
            lossless_ = new QCheckBox("&Lossless");
            lossless_->setObjectName("lossless");
            lossless_->setChecked(values.webp.lossless);
            quality_ = spin("quality", 0, 100, values.webp.quality);
            minimize_ = new QCheckBox("&Smallest file (slower)");
            minimize_->setChecked(values.webp.minimizeSize);
            keyFrames_ = spin("keyFrames", 0, 1000, values.webp.keyFrameSpacing);
            keyFrames_->setSpecialValueText("first frame only");
            fields->addRow(lossless_);
            fields->addRow("&Quality (lossless: effort)", quality_);
            fields->addRow(minimize_);
            fields->addRow("&Key frame every", keyFrames_);
            break;
        case OutputKind::Apng:
            quality_ = spin("quality", 1, 12, values.apng.level);
            fields->addRow("&Compression level", quality_);
            break;
        case OutputKind::Mp4:
            quality_ = spin("quality", 0, 51, values.h264Crf);
            preset_ = new QComboBox;
            preset_->setObjectName("preset");
            for (const char* p : kPresets) preset_->addItem(p);
            preset_->setCurrentText(QString::fromStdString(values.preset));
            fields->addRow("&Quality (CRF, lower is better)", quality_);
            fields->addRow("&Preset", preset_);
            break;
        default:  // WebM
            quality_ = spin("quality", 0, 63, values.vp9Crf);
            fields->addRow("&Quality (CRF, lower is better)", quality_);
            break;
    }
    fit_ = new QDoubleSpinBox;
    fit_->setObjectName("fitUnder");
    fit_->setRange(0, 100000);
    fit_->setDecimals(2);
    fit_->setSpecialValueText("any size");
    fit_->setSuffix(" MB");
    fit_->setValue(values.fitUnderMB);
    fit_->setToolTip("The file is made as good as fits in this size; 0: any size");
    fields->addRow("&Fit under", fit_);
    fit_->setEnabled(kind != OutputKind::Apng);  // lossless: nothing to give up for size

    estimateButton_ = new QPushButton("&Estimate sizes");
    estimateButton_->setObjectName("estimate");
    estimateLine_ = new QLabel;
    estimateLine_->setObjectName("estimateLine");
    estimateLine_->setWordWrap(true);
    auto* estimateRow = new QHBoxLayout;
    estimateRow->addWidget(estimateButton_);
    estimateRow->addWidget(estimateLine_, 1);

    auto* save = new QPushButton("Save");
    save->setDefault(true);
    auto* cancel = new QPushButton("Cancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(cancel);

    auto* top = new QVBoxLayout(this);
    top->addLayout(fields);
    top->addLayout(estimateRow);
    top->addLayout(buttons);

    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(estimateButton_, &QPushButton::clicked, this, [this] {
        if (estimate_)
            estimateLine_->setText(estimate_());
    });
    auto* keys = new SpinKeys(save, cancel, this);
    keys->watchKeys(quality_);
    if (keyFrames_)
        keys->watchKeys(keyFrames_);
}

AnimationOptionsValues TAnimationOptionsForm::values() const
{
    AnimationOptionsValues v = start_;
    switch (kind_) {
        case OutputKind::WebP:
            v.webp.lossless = lossless_->isChecked();
            v.webp.quality = quality_->value();
            v.webp.minimizeSize = minimize_->isChecked();
            v.webp.keyFrameSpacing = keyFrames_->value();
            break;
        case OutputKind::Apng:
            v.apng.level = quality_->value();
            break;
        case OutputKind::Mp4:
            v.h264Crf = quality_->value();
            v.preset = preset_->currentText().toStdString();
            break;
        default:
            v.vp9Crf = quality_->value();
            break;
    }
    v.fitUnderMB = fit_->value();
    return v;
}

}  // namespace pelko
