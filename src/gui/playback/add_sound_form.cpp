#include "gui/playback/add_sound_form.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/app/icons.h"

namespace pelko {

TFormAddSound::TFormAddSound(const AddSoundValues& values, MeasureSound measure, ShowMessage message,
                             QWidget* parent)
    : QDialog(parent)
{
    setObjectName("FormAddSound");
    setWindowTitle("Adding of sound into AVI file");

    auto* picture = new QLabel;
    picture->setPixmap(drawnIcon(IconKind::Sound).pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    sound_ = new SoundChooser({{}, "Background sound", 260}, values.sound, values.wavFile,
                              values.soundDuration, std::move(measure), std::move(message), this);

    ok_ = new QPushButton("OK");
    ok_->setDefault(true);
    cancel_ = new QPushButton("Cancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* fields = new QVBoxLayout;
    fields->addWidget(sound_);
    fields->addLayout(buttons);
    auto* top = new QHBoxLayout(this);
    top->addWidget(picture);
    top->addLayout(fields, 1);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

AddSoundValues TFormAddSound::values() const
{
    return {sound_->sound(), sound_->wavFile(), sound_->duration()};
}

}  // namespace pelko
