#include "gui/app/wait_guard.h"

#include <QApplication>
#include <QCursor>

namespace pelko {

WaitGuard::WaitGuard(QWidget* held) : held_(held)
{
    if (held_) {
        heldWasEnabled_ = held_->updatesEnabled();
        held_->setUpdatesEnabled(false);
    }
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitGuard::~WaitGuard()
{
    QApplication::restoreOverrideCursor();
    // the widget may have gone while the command ran
    if (held_)
        held_->setUpdatesEnabled(heldWasEnabled_);
}

}  // namespace pelko
