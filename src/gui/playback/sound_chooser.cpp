#include "gui/playback/sound_chooser.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/app/icons.h"
#include "gui/playback/sound_button.h"

namespace pelko {

SoundChooser::SoundChooser(const Looks& looks, bool sound, const std::string& wavFile, std::int32_t duration,
                           MeasureSound measure, ShowMessage message, QDialog* dialog)
    : QGroupBox(looks.title, dialog),
      measure_(std::move(measure)),
      message_(std::move(message)),
      duration_(duration)
{
    soundBox_ = new QCheckBox(looks.boxText);
    soundBox_->setChecked(sound);
    wavFile_ = new QLineEdit(QString::fromStdString(wavFile));
    wavFile_->setObjectName("wavFile");
    wavFile_->setMinimumWidth(looks.fieldWidth);
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
        play_, dialog, [this] { return wavFile_->text(); },
        [this](const QString& text) {
            if (message_)
                message_("Error", text);
        });
    durationPanel_ = new QLabel;
    durationPanel_->setObjectName("soundDuration");
    durationPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto* rows = new QVBoxLayout(this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(wavFile_, 1);
    fileRow->addWidget(load_);
    fileRow->addWidget(play_);
    rows->addWidget(soundBox_);
    rows->addLayout(fileRow);
    rows->addWidget(durationPanel_);

    connect(load_, &QToolButton::clicked, this, &SoundChooser::loadClicked);
    showDuration();
}

bool SoundChooser::sound() const
{
    return soundBox_->isChecked();
}

std::string SoundChooser::wavFile() const
{
    return wavFile_->text().toStdString();
}

void SoundChooser::loadClicked()
{
    const QString path = QFileDialog::getOpenFileName(this, "Open", {}, "Audio files (*.wav)");
    if (!path.isEmpty())
        loadSound(path);
}

void SoundChooser::loadSound(const QString& path)
{
    wavFile_->setText(path);
    const WavDuration d = measure_ ? measure_(path.toStdString()) : WavDuration{};
    if (d.ms < 0 && message_)
        message_(QString::fromStdString(d.caption), QString::fromStdString(d.message));
    duration_ = d.ms < 0 ? -1 : d.ms;
    showDuration();
    play_->setEnabled(true);
}

void SoundChooser::showDuration()
{
    durationPanel_->setText(QString("Duration of playback: %1 msec").arg(duration_));
}

}  // namespace pelko
