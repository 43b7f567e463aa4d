#include "gui/generated/spin_keys.h"

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
    field->installEventFilter(this);
}

bool SpinKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* field = qobject_cast<QSpinBox*>(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (field && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            field->interpretText();
            confirm_->setFocus();
            return true;
        }
        if (field && key == Qt::Key_Escape) {
            cancel_->setFocus();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace pelko
