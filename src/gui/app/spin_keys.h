#pragma once
// Enter and Escape in the number fields of the dialogs: Enter moves the
// focus to the confirming button and Escape to "Cancel", and the key goes no
// further (so neither closes the dialog at once).

#include <QObject>

class QAbstractButton;
class QSpinBox;
class QWidget;

namespace pelko {

class SpinKeys : public QObject {
public:
    SpinKeys(QAbstractButton* confirm, QAbstractButton* cancel, QObject* parent);
    // Watches field's keys; also lets the field take digits only and bring a
    // value out of its range back into it.
    void watch(QSpinBox* field);
    // Watches the keys of any field, which keeps its own input rules.
    void watchKeys(QWidget* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractButton* confirm_;
    QAbstractButton* cancel_;
};

}  // namespace pelko
