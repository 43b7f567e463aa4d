#include "gui/export/png_form.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/export/export_settings.h"
#include "gui/app/icons.h"
#include "gui/app/spin_keys.h"
#include "gui/export/export_form_parts.h"

namespace pelko {

TPNGForm::TPNGForm(const QString& caption, const PngFormValues& values, ChooseColor chooseColor,
                   QWidget* parent)
    : QDialog(parent), chooseColor_(std::move(chooseColor))
{
    setObjectName("PNGForm");
    setWindowTitle(caption);

    auto* interlaceGroup = new QGroupBox("Interlace");
    interlace_ = new QCheckBox("Set");
    (new QVBoxLayout(interlaceGroup))->addWidget(interlace_);

    auto* levelGroup = new QGroupBox("Compression level");
    level_ = new QSpinBox;
    level_->setObjectName("level");
    level_->setRange(0, kMaxPngCompressionLevel);
    auto* levelRows = new QVBoxLayout(levelGroup);
    levelRows->addWidget(level_);
    levelRows->addWidget(new QLabel("9 - min file size, but max saving time"));
    levelRows->addWidget(new QLabel("0 - max file size, but min saving time"));

    auto* colorGroup = new QGroupBox("Transparent Color");
    swatch_ = new QFrame;
    swatch_->setObjectName("transparentColor");
    swatch_->setFrameShape(QFrame::Box);
    swatch_->setFixedSize(40, 24);
    swatch_->setAutoFillBackground(true);
    setColor_ = new QToolButton;
    setColor_->setObjectName("setColor");
    setColor_->setIcon(drawnIcon(IconKind::OptimizeColor));
    setColor_->setToolTip("Set color");
    auto* colorRow = new QHBoxLayout(colorGroup);
    colorRow->addWidget(swatch_);
    colorRow->addWidget(setColor_);
    colorRow->addStretch(1);

    const ExportButtons buttons = makeExportButtons(this);
    byDefault_ = buttons.byDefault;
    showAlways_ = buttons.showAlways;
    save_ = buttons.save;
    cancel_ = buttons.cancel;
    connect(byDefault_, &QToolButton::clicked, this, [this] { setValues(PngFormValues{}); });
    connect(setColor_, &QToolButton::clicked, this, [this] {
        Color c = color_;
        if (chooseColor_ && chooseColor_(c)) {
            color_ = c;
            showColor();
        }
    });
    // Enter in the level moves to "Save", Escape to "Cancel"
    (new SpinKeys(save_, cancel_, this))->watch(level_);

    auto* top = new QVBoxLayout(this);
    top->addWidget(interlaceGroup);
    top->addWidget(levelGroup);
    top->addWidget(colorGroup);
    top->addLayout(buttons.row);
    top->setSizeConstraint(QLayout::SetFixedSize);
    setValues(values);
}

PngFormValues TPNGForm::values() const
{
    return {interlace_->isChecked(), level_->value(), color_, showAlways_->isChecked()};
}

void TPNGForm::setValues(const PngFormValues& values)
{
    interlace_->setChecked(values.interlace);
    level_->setValue(std::clamp(values.compressionLevel, 0, kMaxPngCompressionLevel));
    color_ = values.transparentColor;
    showAlways_->setChecked(values.showAlways);
    showColor();
}

void TPNGForm::showColor()
{
    QPalette p = swatch_->palette();
    p.setColor(QPalette::Window, QColor(redOf(color_), greenOf(color_), blueOf(color_)));
    swatch_->setPalette(p);
}

}  // namespace pelko
