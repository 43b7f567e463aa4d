#include "gui/capture/capture_form.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/image/resample.h"
#include "gui/app/picture_image.h"
#include "gui/app/spin_keys.h"
#include "gui/capture/capture_preview.h"

namespace pelko {

namespace {

QSpinBox* spin(const char* name, int low, int high, int step = 1)
{
    auto* s = new QSpinBox;
    s->setObjectName(name);
    s->setRange(low, high);
    s->setSingleStep(step);
    return s;
}

}  // namespace

TFormCapture::TFormCapture(const CaptureSettings& stored, const Picture& desktop, QWidget* parent)
    : QDialog(parent), stored_(stored)
{
    setObjectName("TFormCapture");
    setWindowTitle("Settings for capture");
    // the main window is hidden meanwhile: closing this is no end of the program
    setAttribute(Qt::WA_QuitOnClose, false);

    preview_ = new CapturePreview;
    scale_ = captureScale(desktop.width(), desktop.height(), CapturePreview::kWidth, CapturePreview::kHeight);
    if (!desktop.empty())
        preview_->setScreen(
            toImage(resamplePicture(desktop, CapturePreview::kWidth, CapturePreview::kHeight)).copy());

    const CaptureLimits limits = captureLimits(CapturePreview::kWidth, CapturePreview::kHeight, scale_);
    left_ = spin("Left", 0, limits.maxX);
    top_ = spin("Top", 0, limits.maxY);
    width_ = spin("Width", 1, limits.maxX);
    height_ = spin("Height", 1, limits.maxY);
    auto* areaGroup = new QGroupBox("Size of capture area");
    auto* areaGrid = new QGridLayout(areaGroup);
    areaGrid->addWidget(new QLabel("Left"), 0, 0);
    areaGrid->addWidget(left_, 0, 1);
    areaGrid->addWidget(new QLabel("Top"), 0, 2);
    areaGrid->addWidget(top_, 0, 3);
    areaGrid->addWidget(new QLabel("Width"), 1, 0);
    areaGrid->addWidget(width_, 1, 1);
    areaGrid->addWidget(new QLabel("Height"), 1, 2);
    areaGrid->addWidget(height_, 1, 3);

    auto_ = new QCheckBox("Auto");
    auto_->setObjectName("Auto");
    period_ = spin("Periodicity", kMinPeriodMs, kMaxPeriodMs, kPeriodStep);
    maxFrames_ = spin("MaxFrames", kMinMaxFrames, kMaxMaxFrames);
    cursor_ = new QCheckBox("With cursor");
    cursor_->setObjectName("WithCursor");
    record_ = new QCheckBox("Record");
    record_->setObjectName("Record");
    record_->setToolTip("Record at a steady rate from Capture to Finish");
    fps_ = spin("FramesPerSecond", kMinRecordFps, kMaxRecordFps);
    auto* modeGroup = new QGroupBox("Capture");
    auto* modeForm = new QFormLayout(modeGroup);
    modeForm->addRow(auto_);
    modeForm->addRow("Periodicity (msec)", period_);
    modeForm->addRow("Max frames", maxFrames_);
    modeForm->addRow(record_);
    modeForm->addRow("Frames a second", fps_);
    modeForm->addRow(cursor_);

    name_ = new QLineEdit;
    name_->setObjectName("Name");
    duration_ = spin("Duration", kMinDurationMs, kMaxDurationMs, kDurationStep);
    avi_ = new QRadioButton("AVI");
    avi_->setObjectName("AVI");
    gif_ = new QRadioButton("Animated GIF");
    gif_->setObjectName("AnimatedGIF");
    auto* extension = new QGroupBox("Extension");
    auto* extensionRow = new QHBoxLayout(extension);  // two columns
    extensionRow->addWidget(avi_);
    extensionRow->addWidget(gif_);
    auto* fileGroup = new QGroupBox("File in WORK folder");
    auto* fileForm = new QFormLayout(fileGroup);
    fileForm->addRow("Name", name_);
    fileForm->addRow("Duration of frame (msec)", duration_);
    fileForm->addRow(extension);
    addToProject_ = new QCheckBox("Add to project when done");
    addToProject_->setObjectName("AddToProject");
    fileForm->addRow(addToProject_);

    ok_ = new QPushButton("OK");
    ok_->setObjectName("OK");
    ok_->setDefault(true);
    cancel_ = new QPushButton("Cancel");
    cancel_->setObjectName("Cancel");
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    auto* keys = new SpinKeys(ok_, cancel_, this);
    for (QSpinBox* s : {left_, top_, width_, height_, period_, maxFrames_, duration_, fps_}) keys->watch(s);

    auto* side = new QVBoxLayout;
    side->addWidget(areaGroup);
    side->addWidget(modeGroup);
    side->addWidget(fileGroup);
    side->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    side->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(preview_, 0, Qt::AlignTop);
    layout->addLayout(side);

    // the stored settings
    auto_->setChecked(stored.autoMode);
    cursor_->setChecked(stored.withCursor);
    period_->setEnabled(stored.autoMode);
    maxFrames_->setEnabled(stored.autoMode);
    const Rect screenArea = toScreen(stored.area, scale_);
    left_->setValue(screenArea.left);
    top_->setValue(screenArea.top);
    width_->setValue(screenArea.width);
    height_->setValue(screenArea.height);
    period_->setValue(stored.periodMs);
    duration_->setValue(stored.durationMs);
    maxFrames_->setValue(stored.maxFrames);
    record_->setChecked(stored.recordMode);
    fps_->setValue(stored.recordFps);
    addToProject_->setChecked(stored.addToProject);
    (stored.format == CaptureFormat::AnimatedGif ? gif_ : avi_)->setChecked(true);
    name_->setText(QString::fromStdString(stored.name));
    areaEdited();

    connect(auto_, &QCheckBox::toggled, this, [this](bool on) {
        period_->setEnabled(on);
        maxFrames_->setEnabled(on);
    });
    enableModes();
    connect(record_, &QCheckBox::toggled, this, &TFormCapture::enableModes);
    connect(gif_, &QRadioButton::toggled, this, &TFormCapture::enableModes);
    for (QSpinBox* s : {left_, top_, width_, height_})
        connect(s, &QSpinBox::valueChanged, this, &TFormCapture::areaEdited);
    connect(preview_, &CapturePreview::moved, this, &TFormCapture::areaDragged);
}

// "Record" stands in place of the manual and automatic modes and of the
// fixed duration; only a GIF's frames can go into the project.
void TFormCapture::enableModes()
{
    const bool recording = record_->isChecked();
    fps_->setEnabled(recording);
    auto_->setEnabled(!recording);
    period_->setEnabled(!recording && auto_->isChecked());
    maxFrames_->setEnabled(!recording && auto_->isChecked());
    duration_->setEnabled(!recording);
    addToProject_->setEnabled(gif_->isChecked());
}

void TFormCapture::areaEdited()
{
    preview_->setArea(QRect(toPreview(left_->value(), scale_.sx), toPreview(top_->value(), scale_.sy),
                            toPreview(width_->value(), scale_.sx), toPreview(height_->value(), scale_.sy)));
}

void TFormCapture::areaDragged(QPoint topLeft)
{
    left_->setValue(toScreen(topLeft.x(), scale_.sx));
    top_->setValue(toScreen(topLeft.y(), scale_.sy));
}

CaptureSettings TFormCapture::settings() const
{
    CaptureSettings s = stored_;
    s.area = toPreview(Rect{left_->value(), top_->value(), width_->value(), height_->value()}, scale_);
    s.autoMode = auto_->isChecked();
    s.name = name_->text().toStdString();
    s.withCursor = cursor_->isChecked();
    s.format = gif_->isChecked() ? CaptureFormat::AnimatedGif : CaptureFormat::Avi;
    if (s.autoMode) {
        s.maxFrames = maxFrames_->value();
        s.periodMs = period_->value();
    }
    s.durationMs = duration_->value();
    s.recordMode = record_->isChecked();
    s.recordFps = fps_->value();
    s.addToProject = addToProject_->isChecked();
    return s;
}

}  // namespace pelko
