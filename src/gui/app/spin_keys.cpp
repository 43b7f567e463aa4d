#include "gui/app/spin_keys.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QSpinBox>

namespace pelko {

SpinKeys::SpinKeys(QAbstractButton* confirm, QAbstractButton* cancel, QObject* parent)
    : QObject(parent), confirm_(confirm), cancel_(cancel)
{
}

void SpinKeys::watch(QSpinBox* field)
{
    field->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    field->setKeyboardTracking(false);
    watchKeys(field);
}

void SpinKeys::watchKeys(QWidget* field)
{
    field->installEventFilter(this);
}

bool SpinKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (auto* spin = qobject_cast<QAbstractSpinBox*>(watched))
                spin->interpretText();
            confirm_->setFocus();
            return true;
        }
        if (key == Qt::Key_Escape) {
            cancel_->setFocus();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pelko
