#include "gui/animation/numbers_form.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/app/spin_keys.h"

namespace pelko {

NumbersForm::NumbersForm(const QString& title, const QString& text, const std::vector<ToolNumber>& fields,
                         QWidget* parent)
    : QDialog(parent), fields_(fields)
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    if (!text.isEmpty()) {
        auto* label = new QLabel(text, this);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    auto* form = new QFormLayout;
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* keys =
        new SpinKeys(buttons->button(QDialogButtonBox::Ok), buttons->button(QDialogButtonBox::Cancel), this);
    for (const ToolNumber& f : fields_) {
        auto* box = new QSpinBox(this);
        box->setRange(f.minimum, f.maximum);
        box->setValue(f.value);
        box->setObjectName(f.label);
        form->addRow(f.label, box);
        keys->watch(box);
        boxes_.push_back(box);
    }
    setFixedSize(sizeHint());
}

std::vector<ToolNumber> NumbersForm::values() const
{
    std::vector<ToolNumber> out = fields_;
    for (std::size_t i = 0; i < out.size(); ++i) out[i].value = boxes_[i]->value();
    return out;
}

bool WidgetAnimationDialogs::numbers(QWidget* parent, const QString& title, const QString& text,
                                     std::vector<ToolNumber>& fields)
{
    NumbersForm form(title, text, fields, parent);
    if (form.exec() != QDialog::Accepted)
        return false;
    fields = form.values();
    return true;
}

void WidgetAnimationDialogs::information(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, "Information", text);
}

}  // namespace pelko
