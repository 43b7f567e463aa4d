#include "gui/export/bmp_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "engine/export/bmp_bits.h"
#include "engine/export/export_settings.h"
#include "gui/app/picture_image.h"
#include "gui/export/export_form_parts.h"
#include "gui/export/export_preview.h"

namespace pelko {
namespace {

constexpr std::array<int, 6> kBits{1, 4, 8, 16, 24, 32};

}  // namespace

TBMPForm::TBMPForm(const QString& caption, const Picture& picture, const BmpFormValues& values,
                   QWidget* parent)
    : QDialog(parent), shown_(previewPart(picture))
{
    setObjectName("BMPForm");
    setWindowTitle(caption);

    formatGroup_ = new QGroupBox("Pixel format");
    auto* grid = new QGridLayout(formatGroup_);
    for (std::size_t i = 0; i < kBits.size(); ++i) {
        formats_[i] = new QRadioButton(QString("%1 bit").arg(kBits[i]));
        formats_[i]->setObjectName(QString("bits%1").arg(kBits[i]));
        grid->addWidget(formats_[i], int(i / 2), int(i % 2));  // two columns
        connect(formats_[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                showAfter();
        });
    }

    auto* previews = new QHBoxLayout;
    previews->addWidget(titledPreview("Before", before_));
    previews->addWidget(titledPreview("After", after_));
    before_->setImage(toImage(shown_));

    const ExportButtons buttons = makeExportButtons(this);
    byDefault_ = buttons.byDefault;
    showAlways_ = buttons.showAlways;
    save_ = buttons.save;
    cancel_ = buttons.cancel;
    connect(byDefault_, &QToolButton::clicked, this, &TBMPForm::restoreDefaults);

    auto* top = new QVBoxLayout(this);
    top->addWidget(formatGroup_);
    top->addLayout(previews);
    top->addLayout(buttons.row);
    top->setSizeConstraint(QLayout::SetFixedSize);
    setValues(values);
}

QRadioButton* TBMPForm::formatButton(int bits) const
{
    for (std::size_t i = 0; i < kBits.size(); ++i)
        if (kBits[i] == bits)
            return formats_[i];
    return nullptr;
}

BmpFormValues TBMPForm::values() const
{
    BmpFormValues v;
    for (std::size_t i = 0; i < kBits.size(); ++i)
        if (formats_[i]->isChecked())
            v.bits = kBits[i];
    v.showAlways = showAlways_->isChecked();
    return v;
}

void TBMPForm::setValues(const BmpFormValues& values)
{
    formatButton(isBmpBits(values.bits) ? values.bits : 24)->setChecked(true);
    showAlways_->setChecked(values.showAlways);
    showAfter();
}

void TBMPForm::showAfter()
{
    after_->setImage(toImage(bmpPixelFormatPreview(shown_, values().bits)));
}

void TBMPForm::restoreDefaults()
{
    setValues(BmpFormValues{});
}

}  // namespace pelko
