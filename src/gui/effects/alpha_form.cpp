#include "gui/effects/alpha_form.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/app/dialog_provider.h"
#include "gui/app/picture_image.h"
#include "gui/app/spin_keys.h"

namespace pelko {

// The preview canvas: the partner (or the background colour) and, in the
// anchor's box, the blended picture of the last tick.
class AlphaCanvas : public QWidget {
public:
    AlphaCanvas(const TFormAlpha& form, QWidget* parent) : QWidget(parent), form_(form)
    {
        setObjectName("alphaCanvas");
        setFixedSize(std::max(1, form.sources_.canvasWidth), std::max(1, form.sources_.canvasHeight));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const Color c = form_.sources_.partnerIsBackground() ? form_.settings_.background : Color(0xFFFFFF);
        painter.fillRect(rect(), QColor(redOf(c), greenOf(c), blueOf(c)));
        painter.drawImage(form_.partnerAt_.x, form_.partnerAt_.y, form_.partner_);
        const Picture& a = form_.sources_.anchorImage;
        const QRect box(form_.anchorAt_.x, form_.anchorAt_.y, a.width(), a.height());
        painter.setClipRect(box);
        painter.drawImage(box.topLeft(), form_.shown_);
    }

private:
    const TFormAlpha& form_;
};

TFormAlpha::TFormAlpha(const Project& project, BlendSources sources, const AlphaBlendSettings& settings,
                       DialogProvider& dialogs, QWidget* parent)
    : QDialog(parent),
      sources_(std::move(sources)),
      settings_(clampedBlendSettings(settings)),
      dialogs_(dialogs)
{
    setWindowTitle("Adding frames with alpha blending");
    const FrameRecord& a = project.frames[std::size_t(sources_.anchor)];
    anchorAt_ = {a.Left, a.Top};
    if (!sources_.partnerIsBackground()) {
        const FrameRecord& p = project.frames[std::size_t(sources_.anchor - 1)];
        partnerAt_ = {p.Left, p.Top};
        partner_ = toImage(sources_.partnerImage);
    }

    auto* scroll = new QScrollArea;
    scroll->setObjectName("previewScroll");
    canvas_ = new AlphaCanvas(*this, scroll);
    scroll->setWidget(canvas_);
    scroll->setMinimumSize(std::min(canvas_->width() + 4, 640), std::min(canvas_->height() + 4, 400));

    add_ = new QPushButton("Add");
    add_->setDefault(true);
    cancel_ = new QPushButton("Cancel");
    auto* keys = new SpinKeys(add_, cancel_, this);

    number_ = new QSpinBox;
    number_->setObjectName("number");
    number_->setRange(kMinBlendCount, kMaxBlendCount);
    number_->setValue(settings_.count);
    keys->watch(number_);
    time_ = new QSpinBox;
    time_->setObjectName("time");
    time_->setRange(kMinBlendTime, kMaxBlendTime);
    time_->setSingleStep(50);
    time_->setValue(settings_.time);
    keys->watch(time_);
    auto* frames = new QGroupBox("Frame's");
    auto* framesLayout = new QGridLayout(frames);
    framesLayout->addWidget(new QLabel("number"), 0, 0);
    framesLayout->addWidget(number_, 0, 1);
    framesLayout->addWidget(new QLabel("time (msec)"), 1, 0);
    framesLayout->addWidget(time_, 1, 1);

    showUp_ = new QRadioButton("show up");
    hideUp_ = new QRadioButton("hide up");
    (settings_.hideUp ? hideUp_ : showUp_)->setChecked(true);
    auto* display = new QGroupBox("Display");
    auto* displayLayout = new QVBoxLayout(display);
    displayLayout->addWidget(showUp_);
    displayLayout->addWidget(hideUp_);

    setColor_ = new QPushButton("SetColor");
    setColor_->setEnabled(sources_.partnerIsBackground());
    auto* background = new QGroupBox("Background");
    (new QVBoxLayout(background))->addWidget(setColor_);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    auto* controls = new QHBoxLayout;
    controls->addWidget(frames);
    controls->addWidget(display);
    controls->addWidget(background);
    controls->addStretch();
    controls->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addLayout(controls);

    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(settings_.time);
    connect(timer_, &QTimer::timeout, this, &TFormAlpha::showNextPicture);
    connect(number_, &QSpinBox::valueChanged, this, &TFormAlpha::restartPreview);
    connect(showUp_, &QRadioButton::toggled, this, &TFormAlpha::restartPreview);
    connect(time_, &QSpinBox::valueChanged, this, &TFormAlpha::timeChanged);
    connect(setColor_, &QPushButton::clicked, this, &TFormAlpha::setColorClicked);
    connect(add_, &QPushButton::clicked, this, [this] {
        timer_->stop();
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        timer_->stop();
        reject();
    });
    timer_->start();
}

AlphaBlendSettings TFormAlpha::settings() const
{
    AlphaBlendSettings s = settings_;
    s.count = number_->value();
    s.time = time_->value();
    s.hideUp = hideUp_->isChecked();
    return s;
}

void TFormAlpha::showNextPicture()
{
    settings_ = settings();
    if (next_ >= settings_.count)
        next_ = 0;
    shown_ = toImage(blendedPicture(sources_, settings_, next_));
    next_ = (next_ + 1) % settings_.count;
    canvas_->update();
}

void TFormAlpha::restartPreview()
{
    timer_->stop();
    settings_ = settings();
    next_ = 0;
    timer_->start();
}

void TFormAlpha::timeChanged()
{
    timer_->stop();
    timer_->setInterval(time_->value());
    timer_->start();
}

void TFormAlpha::setColorClicked()
{
    Color c = settings_.background;
    if (!dialogs_.chooseColor(this, c))
        return;
    settings_.background = c;
    restartPreview();
    canvas_->update();
}

}  // namespace pelko
