#include "gui/output/ani_gif_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/app/icons.h"
#include "gui/app/spin_keys.h"
#include "gui/output/gif_preview.h"

namespace pelko {

TAniGIFForm::TAniGIFForm(const QString& outputName, const GifOptionsValues& values, int width, int height,
                         BuildPreview build, QWidget* parent)
    : QDialog(parent), build_(std::move(build))
{
    setObjectName("AniGIFForm");
    setWindowTitle(outputName);

    optimize_ = new QCheckBox("Optimizes all local color maps into a single global map");
    merge_ = new QCheckBox("Replace frame similarities with transparency");
    crop_ = new QCheckBox("Remove unused transparent areas");
    interlaced_ = new QCheckBox("Interlaced");
    infinite_ = new QCheckBox("Infinite loop");
    smaller_ = new QCheckBox("Smaller file");
    strength_ = new QSlider(Qt::Horizontal);
    strength_->setObjectName("strength");
    strength_->setRange(0, 100);
    strength_->setToolTip(
        "How far a pixel's colour may move for a smaller file: stronger keeps more of "
        "the frame before and uses fewer colours");
    loops_ = new QSpinBox;
    loops_->setObjectName("loops");
    loops_->setRange(kMinGifLoops, kMaxGifLoops);
    loops_->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    auto* information = new QGroupBox("Information");
    auto* infoRows = new QVBoxLayout(information);
    auto* loopsRow = new QHBoxLayout;
    loopsRow->addWidget(new QLabel("Number loops"));
    loopsRow->addWidget(loops_);
    loopsRow->addStretch(1);
    infoRows->addWidget(infinite_);
    infoRows->addLayout(loopsRow);
    auto* options = new QGroupBox;
    auto* optionRows = new QVBoxLayout(options);
    for (QCheckBox* box : {optimize_, merge_, crop_, interlaced_}) optionRows->addWidget(box);
    auto* smallerRow = new QHBoxLayout;
    smallerRow->addWidget(smaller_);
    smallerRow->addWidget(strength_, 1);
    optionRows->addLayout(smallerRow);
    optionRows->addStretch(1);
    optionRows->addWidget(information);

    preview_ = new GifPreview;
    preview_->setSurfaceSize(width, height);
    scroll_ = new QScrollArea;
    scroll_->setObjectName("previewScroll");
    scroll_->setWidget(preview_);
    scroll_->setFixedSize(340, 260);
    // the animation is seen whole; 1:1 shows its pixels, scrolled
    actualSize_ = new QToolButton;
    actualSize_->setObjectName("actualSize");
    actualSize_->setText("1:1");
    actualSize_->setCheckable(true);
    actualSize_->setToolTip("Show the animation at its own size");
    const auto showFitted = [this](bool actual) {
        preview_->setFitted(!actual);
        scroll_->setWidgetResizable(!actual);
    };
    showFitted(false);
    connect(actualSize_, &QToolButton::toggled, this, showFitted);
    auto* previewColumn = new QVBoxLayout;
    previewColumn->addWidget(scroll_, 1);
    auto* previewBar = new QHBoxLayout;
    previewBar->addStretch(1);
    previewBar->addWidget(actualSize_);
    previewColumn->addLayout(previewBar);

    byDefault_ = new QToolButton;
    byDefault_->setObjectName("byDefault");
    byDefault_->setIcon(drawnIcon(IconKind::Refresh));
    byDefault_->setToolTip("by default");
    showAlways_ = new QCheckBox("Show always");
    save_ = new QPushButton("Save");
    save_->setDefault(true);
    cancel_ = new QPushButton("Cancel");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(byDefault_);
    buttons->addWidget(showAlways_);
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(cancel_);

    auto* columns = new QHBoxLayout;
    columns->addWidget(options);
    columns->addLayout(previewColumn, 1);
    auto* top = new QVBoxLayout(this);
    top->addLayout(columns);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(save_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(byDefault_, &QToolButton::clicked, this, &TAniGIFForm::restoreDefaults);
    // Of the boxes only the colour maps' rebuilds the preview.
    connect(optimize_, &QCheckBox::clicked, this, &TAniGIFForm::refreshPreview);
    connect(infinite_, &QCheckBox::clicked, this, [this] { loops_->setEnabled(!infinite_->isChecked()); });
    // the smaller file's palettes change the pictures: the preview shows them
    connect(smaller_, &QCheckBox::clicked, this, [this] {
        strength_->setEnabled(smaller_->isChecked());
        refreshPreview();
    });
    (new SpinKeys(save_, cancel_, this))->watchKeys(loops_);
    setValues(values);
}

GifOptionsValues TAniGIFForm::values() const
{
    GifOptionsValues v;
    v.optimize = optimize_->isChecked();
    v.merge = merge_->isChecked();
    v.crop = crop_->isChecked();
    v.interlaced = interlaced_->isChecked();
    v.infiniteLoop = infinite_->isChecked();
    v.loops = loops_->value();
    v.showAlways = showAlways_->isChecked();
    v.smallerFile = smaller_->isChecked();
    v.strength = strength_->value();
    return v;
}

void TAniGIFForm::setValues(const GifOptionsValues& v)
{
    optimize_->setChecked(v.optimize);
    merge_->setChecked(v.merge);
    crop_->setChecked(v.crop);
    interlaced_->setChecked(v.interlaced);
    infinite_->setChecked(v.infiniteLoop);
    loops_->setValue(v.loops);
    loops_->setEnabled(!v.infiniteLoop);
    showAlways_->setChecked(v.showAlways);
    smaller_->setChecked(v.smallerFile);
    strength_->setValue(v.strength);
    strength_->setEnabled(v.smallerFile);
}

const std::shared_ptr<TGIFImage>& TAniGIFForm::previewImage() const
{
    return preview_->image();
}

void TAniGIFForm::refreshPreview()
{
    preview_->setImage(nullptr);
    builtWith_.reset();
    built_.reset();
    const AnimatedGifOptions options = gifBuildOptionsOf(values());
    built_ = build_ ? build_(this, options) : nullptr;
    if (!built_)
        return;
    builtWith_ = options;
    preview_->setImage(built_->image);
}

void TAniGIFForm::restoreDefaults()
{
    setValues(gifDialogDefaults(values()));
    refreshPreview();
}

void TAniGIFForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    scroll_->horizontalScrollBar()->setValue(0);
    scroll_->verticalScrollBar()->setValue(0);
    // the animation is built once the dialog is on the screen
    if (!refreshQueued_) {
        refreshQueued_ = true;
        QTimer::singleShot(0, this, &TAniGIFForm::refreshPreview);
    }
}

void TAniGIFForm::done(int result)
{
    preview_->stop();
    QDialog::done(result);
}

}  // namespace pelko
