#include "gui/project/options_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/app/icons.h"
#include "gui/app/spin_keys.h"

namespace pelko {

NumberField::NumberField(int minimum, int maximum, int step, QWidget* parent)
    : QLineEdit(parent), min_(minimum), max_(maximum), step_(step)
{
    setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,6}"), this));
    setMaximumWidth(70);
    connect(this, &QLineEdit::editingFinished, this, [this] { setValue(value()); });
}

int NumberField::value() const
{
    bool ok = false;
    const int v = text().toInt(&ok);
    return ok ? std::clamp(v, min_, max_) : min_;
}

void NumberField::setValue(int v)
{
    const QString t = QString::number(std::clamp(v, min_, max_));
    if (t != text())
        setText(t);
}

void NumberField::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        setValue(value() + (event->key() == Qt::Key_Up ? step_ : -step_));
        emit editingFinished();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

TOptionsForm::TOptionsForm(QWidget* parent) : QDialog(parent)
{
    setObjectName("OptionsForm");
    setWindowTitle("Project options");

    auto* picture = new QLabel;
    picture->setPixmap(drawnIcon(IconKind::ProjectOptions).pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    width_ = new NumberField(kMinCanvasSide, kMaxCanvasSide, 1);
    height_ = new NumberField(kMinCanvasSide, kMaxCanvasSide, 1);
    // the field limits hold only once the value is complete; a side of 0 or
    // less goes back to the remembered default at once
    width_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,5}"), width_));
    height_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,5}"), height_));
    fix_ = new QCheckBox("Fix at first frame");
    auto* size = new QGroupBox("Frame's size");
    auto* sizeGrid = new QGridLayout(size);
    sizeGrid->addWidget(new QLabel("Width"), 0, 0);
    sizeGrid->addWidget(width_, 0, 1);
    sizeGrid->addWidget(new QLabel("Height"), 1, 0);
    sizeGrid->addWidget(height_, 1, 1);
    sizeGrid->addWidget(fix_, 2, 0, 1, 2);

    scale_ = new QCheckBox("Scale frame to fit (if frame's size is smaller than image's one)");

    avi_ = new QRadioButton("AVI");
    gif_ = new QRadioButton("Animated GIF (when adding or inserting)");
    aviTime_ = new NumberField(0, kMaxAviFrameTime, 100);
    gifTime_ = new NumberField(0, kMaxGifFrameTime, 100);
    auto* type = new QGroupBox("File type and frame time (msec)");
    auto* typeGrid = new QGridLayout(type);
    typeGrid->addWidget(avi_, 0, 0);
    typeGrid->addWidget(aviTime_, 0, 1);
    typeGrid->addWidget(gif_, 1, 0);
    typeGrid->addWidget(gifTime_, 1, 1);

    auto* shows = new QGroupBox("Showing of the settings window");
    auto* showRow = new QHBoxLayout(shows);
    const char* names[] = {"AVI", "Animated GIF", "BMP", "JPG", "GIF", "PNG"};
    for (std::size_t i = 0; i < show_.size(); ++i) {
        show_[i] = new QCheckBox(names[i]);
        showRow->addWidget(show_[i]);
    }

    byDefault_ = new QToolButton;
    byDefault_->setObjectName("byDefault");
    byDefault_->setIcon(drawnIcon(IconKind::Refresh));
    byDefault_->setToolTip("by default");
    ok_ = new QPushButton("OK");
    ok_->setDefault(true);
    cancel_ = new QPushButton("Cancel");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(byDefault_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* fields = new QVBoxLayout;
    fields->addWidget(size);
    fields->addWidget(scale_);
    fields->addWidget(type);
    fields->addWidget(shows);
    fields->addLayout(buttons);
    auto* top = new QHBoxLayout(this);
    top->addWidget(picture);
    top->addLayout(fields, 1);

    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(byDefault_, &QToolButton::clicked, this, &TOptionsForm::restoreDefaults);
    connect(avi_, &QRadioButton::toggled, this, &TOptionsForm::typeChosen);
    connect(gif_, &QRadioButton::toggled, this, &TOptionsForm::typeChosen);
    connect(fix_, &QCheckBox::toggled, this, &TOptionsForm::fixChanged);
    for (NumberField* side : {width_, height_})
        connect(side, &QLineEdit::textEdited, this, [this, side](const QString& text) {
            bool ok = false;
            const int v = text.toInt(&ok);
            if (ok && v <= 0)
                side->setValue(side == width_ ? defaults_.width : defaults_.height);
        });
    // Times below the shortest frame time become that time once typed in.
    for (NumberField* time : {aviTime_, gifTime_})
        connect(time, &QLineEdit::editingFinished, this, [time] {
            if (time->value() < kMinFrameTime)
                time->setValue(kMinFrameTime);
        });
    auto* keys = new SpinKeys(ok_, cancel_, this);
    for (NumberField* f : {width_, height_, aviTime_, gifTime_}) keys->watchKeys(f);
}

void TOptionsForm::setOptions(const ProjectOptions& options, const ShowFlags& flags, bool newProject,
                              DefaultFrameSize defaults)
{
    defaults_ = defaults;
    scale_->setChecked(options.Stretch);
    fix_->setEnabled(newProject);
    fix_->setChecked(newProject && options.FixAtFirstFrame);
    width_->setValue(options.Width);
    height_->setValue(options.Height);
    aviTime_->setValue(options.AviFrameTime);
    gifTime_->setValue(options.GifFrameTime);
    (options.Type == ProjectGif ? gif_ : avi_)->setChecked(true);
    typeChosen();
    fixChanged();
    for (std::size_t i = 0; i < show_.size(); ++i) show_[i]->setChecked(flags.*ShowFlags::kInOrder[i]);
}

ProjectOptions TOptionsForm::options() const
{
    ProjectOptions o;
    o.Width = width_->value();
    o.Height = height_->value();
    o.Stretch = scale_->isChecked();
    o.Type = gif_->isChecked() ? ProjectGif : ProjectAvi;
    o.AviFrameTime = std::max(aviTime_->value(), kMinFrameTime);
    o.GifFrameTime = std::max(gifTime_->value(), kMinFrameTime);
    o.FixAtFirstFrame = fix_->isChecked() && fix_->isEnabled();
    return o;
}

ShowFlags TOptionsForm::showFlags() const
{
    ShowFlags flags{};
    for (std::size_t i = 0; i < show_.size(); ++i) flags.*ShowFlags::kInOrder[i] = show_[i]->isChecked();
    return flags;
}

void TOptionsForm::restoreDefaults()
{
    const ProjectOptions d = defaultProjectOptions(defaults_, fix_->isChecked());
    avi_->setChecked(d.Type == ProjectAvi);
    gif_->setChecked(d.Type == ProjectGif);
    for (QCheckBox* box : show_) box->setChecked(true);
    scale_->setChecked(d.Stretch);
    aviTime_->setValue(d.AviFrameTime);
    gifTime_->setValue(d.GifFrameTime);
    width_->setValue(d.Width);
    height_->setValue(d.Height);
}

void TOptionsForm::typeChosen()
{
    aviTime_->setEnabled(avi_->isChecked());
    gifTime_->setEnabled(gif_->isChecked());
}

void TOptionsForm::fixChanged()
{
    const bool free = !(fix_->isChecked() && fix_->isEnabled());
    width_->setEnabled(free);
    height_->setEnabled(free);
    scale_->setEnabled(free);
}

}  // namespace pelko
