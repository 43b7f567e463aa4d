#pragma once
// NumbersForm: a small dialog of labelled number fields with "OK" and
// "Cancel", for the values of the Animation menu's tools.

#include <QDialog>
#include <vector>

#include "gui/animation/animation_dialogs.h"

class QSpinBox;

namespace pelko {

class NumbersForm : public QDialog {
    Q_OBJECT
public:
    NumbersForm(const QString& title, const QString& text, const std::vector<ToolNumber>& fields,
                QWidget* parent = nullptr);
    // The fields with the values shown.
    std::vector<ToolNumber> values() const;

private:
    std::vector<ToolNumber> fields_;
    std::vector<QSpinBox*> boxes_;
};

}  // namespace pelko
