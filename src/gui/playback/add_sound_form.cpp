#include "gui/playback/add_sound_form.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/app/icons.h"
#include "gui/playback/sound_button.h"

namespace pelko {

TFormAddSound::TFormAddSound(const AddSoundValues& values, MeasureSound measure, ShowMessage message,
                             QWidget* parent)
    : QDialog(parent),
      measure_(std::move(measure)),
      message_(std::move(message)),
      soundDuration_(values.soundDuration)
{
    setObjectName("FormAddSound");
    setWindowTitle("Adding of sound into AVI file");

    auto* picture = new QLabel;
    picture->setPixmap(drawnIcon(IconKind::Sound).pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    sound_ = new QCheckBox("Background sound");
    sound_->setChecked(values.sound);
    wavFile_ = new QLineEdit(QString::fromStdString(values.wavFile));
    wavFile_->setObjectName("wavFile");
    wavFile_->setMinimumWidth(260);
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

    auto* group = new QGroupBox;
    auto* rows = new QVBoxLayout(group);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(wavFile_, 1);
    fileRow->addWidget(load_);
    fileRow->addWidget(play_);
    rows->addWidget(sound_);
    rows->addLayout(fileRow);
    rows->addWidget(duration_);

    ok_ = new QPushButton("OK");
    ok_->setDefault(true);
    cancel_ = new QPushButton("Cancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* fields = new QVBoxLayout;
    fields->addWidget(group);
    fields->addLayout(buttons);
    auto* top = new QHBoxLayout(this);
    top->addWidget(picture);
    top->addLayout(fields, 1);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(load_, &QToolButton::clicked, this, &TFormAddSound::loadClicked);
    showDuration();
}

AddSoundValues TFormAddSound::values() const
{
    return {sound_->isChecked(), wavFile_->text().toStdString(), soundDuration_};
}

void TFormAddSound::loadClicked()
{
    const QString path = QFileDialog::getOpenFileName(this, "Open", {}, "Audio files (*.wav)");
    if (!path.isEmpty())
        loadSound(path);
}

void TFormAddSound::loadSound(const QString& path)
{
    wavFile_->setText(path);
    const WavDuration d = measure_ ? measure_(path.toStdString()) : WavDuration{};
    if (d.ms < 0 && message_)
        message_(QString::fromStdString(d.caption), QString::fromStdString(d.message));
    soundDuration_ = d.ms < 0 ? -1 : d.ms;
    showDuration();
    play_->setEnabled(true);
}

void TFormAddSound::showDuration()
{
    duration_->setText(QString("Duration of playback: %1 msec").arg(soundDuration_));
}

}  // namespace pelko
