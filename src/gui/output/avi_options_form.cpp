#include "gui/output/avi_options_form.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/app/icons.h"
#include "gui/playback/sound_button.h"
#include "gui/project/options_form.h"

namespace pelko {

TAviOptionsForm::TAviOptionsForm(const QString& outputName, const AviOptionsValues& values,
                                 MeasureSound measure, ShowMessage message, QWidget* parent)
    : QDialog(parent),
      measure_(std::move(measure)),
      message_(std::move(message)),
      soundDuration_(values.soundDuration)
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

    sound_ = new QCheckBox("Add to file");
    sound_->setChecked(values.sound);
    wavFile_ = new QLineEdit(QString::fromStdString(values.wavFile));
    wavFile_->setObjectName("wavFile");
    wavFile_->setMinimumWidth(220);
    load_ = new QToolButton;
    load_->setObjectName("loadSound");
    load_->setIcon(drawnIcon(IconKind::Open));
    load_->setToolTip("Load");
    play_ = new QToolButton;
    play_->setObjectName("playSound");
    play_->setIcon(drawnIcon(IconKind::Run));
    play_->setToolTip("Play");
    play_->setEnabled(QFileInfo(wavFile_->text()).isFile());
    player_ = new SoundButton(
        play_, this, [this] { return wavFile_->text(); },
        [this](const QString& text) {
            if (message_)
                message_("Error", text);
        });
    duration_ = new QLabel;
    duration_->setObjectName("soundDuration");
    duration_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* sound = new QGroupBox("Background sound");
    auto* soundGrid = new QVBoxLayout(sound);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(wavFile_, 1);
    fileRow->addWidget(load_);
    fileRow->addWidget(play_);
    soundGrid->addWidget(sound_);
    soundGrid->addLayout(fileRow);
    soundGrid->addWidget(duration_);

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
    fields->addWidget(sound);
    fields->addLayout(buttons);
    auto* top = new QHBoxLayout(this);
    top->addWidget(picture);
    top->addLayout(fields, 1);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(save_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(load_, &QToolButton::clicked, this, &TAviOptionsForm::loadClicked);
    // The shortest frame is 20 ms.
    connect(frameTime_, &QLineEdit::editingFinished, this,
            [this] { frameTime_->setValue(aviDialogFrameTime(frameTime_->value())); });
    frameTime_->installEventFilter(this);
    showDuration();
}

AviOptionsValues TAviOptionsForm::values() const
{
    AviOptionsValues v;
    v.frameTime = aviDialogFrameTime(frameTime_->value());
    v.showCodecWindow = showCodec_->isChecked();
    v.sound = sound_->isChecked();
    v.wavFile = wavFile_->text().toStdString();
    v.showAlways = showAlways_->isChecked();
    v.soundDuration = soundDuration_;
    return v;
}

void TAviOptionsForm::loadClicked()
{
    const QString path = QFileDialog::getOpenFileName(this, "Open", {}, "Audio files (*.wav)");
    if (!path.isEmpty())
        loadSound(path);
}

void TAviOptionsForm::loadSound(const QString& path)
{
    wavFile_->setText(path);
    const WavDuration d = measure_ ? measure_(path.toStdString()) : WavDuration{};
    if (d.ms < 0 && message_)
        message_(QString::fromStdString(d.caption), QString::fromStdString(d.message));
    soundDuration_ = d.ms < 0 ? -1 : d.ms;
    showDuration();
    play_->setEnabled(true);
}

void TAviOptionsForm::showDuration()
{
    duration_->setText(QString("Duration of playback: %1 msec").arg(soundDuration_));
}

bool TAviOptionsForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == frameTime_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            save_->setFocus();
            return true;
        }
        if (key == Qt::Key_Escape) {
            cancel_->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace pelko
