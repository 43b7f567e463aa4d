#include "gui/output/avi_options_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/app/icons.h"
#include "gui/app/spin_keys.h"
#include "gui/project/options_form.h"

namespace pelko {

TAviOptionsForm::TAviOptionsForm(const QString& outputName, const AviOptionsValues& values,
                                 MeasureSound measure, ShowMessage message, QWidget* parent)
    : QDialog(parent)
{
    setObjectName("AviOptionsForm");
    setWindowTitle(outputName);

    auto* picture = new QLabel;
    picture->setPixmap(drawnIcon(IconKind::Generate).pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    frameTime_ = new NumberField(10, kAviDialogMaxFrameTime, 10);
    frameTime_->setObjectName("frameTime");
    frameTime_->setValue(values.frameTime);
    auto* time = new QGroupBox("Frame duration");
    auto* timeRow = new QHBoxLayout(time);
    timeRow->addWidget(frameTime_);
    timeRow->addWidget(new QLabel("msec"));
    timeRow->addStretch(1);

    showCodec_ = new QCheckBox("Show");
    showCodec_->setChecked(values.showCodecWindow);
    auto* codec = new QGroupBox("Window of selecting codec");
    (new QHBoxLayout(codec))->addWidget(showCodec_);

    sound_ = new SoundChooser({"Background sound", "Add to file", 220}, values.sound, values.wavFile,
                              values.soundDuration, std::move(measure), std::move(message), this);

    showAlways_ = new QCheckBox("Show always");
    showAlways_->setChecked(values.showAlways);
    save_ = new QPushButton("Save");
    save_->setDefault(true);
    cancel_ = new QPushButton("Cancel");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(showAlways_);
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(cancel_);

    auto* fields = new QVBoxLayout;
    fields->addWidget(time);
    fields->addWidget(codec);
    fields->addWidget(sound_);
    fields->addLayout(buttons);
    auto* top = new QHBoxLayout(this);
    top->addWidget(picture);
    top->addLayout(fields, 1);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(save_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    // The shortest frame is 20 ms.
    connect(frameTime_, &QLineEdit::editingFinished, this,
            [this] { frameTime_->setValue(aviDialogFrameTime(frameTime_->value())); });
    (new SpinKeys(save_, cancel_, this))->watchKeys(frameTime_);
}

AviOptionsValues TAviOptionsForm::values() const
{
    AviOptionsValues v;
    v.frameTime = aviDialogFrameTime(frameTime_->value());
    v.showCodecWindow = showCodec_->isChecked();
    v.sound = sound_->sound();
    v.wavFile = sound_->wavFile();
    v.showAlways = showAlways_->isChecked();
    v.soundDuration = sound_->duration();
    return v;
}

}  // namespace pelko
