#include "gui/app/progress_dialog.h"

#include <QCoreApplication>

namespace pelko {

ProgressDialog::ProgressDialog(QWidget* parent, const Project& project, const QString& title,
                               bool cancellable)
    : project_(project), dialog_(parent)
{
    dialog_.setWindowTitle(title);
    dialog_.setWindowModality(Qt::WindowModal);
    if (cancellable)
        dialog_.setCancelButtonText("Cancel");
    else
        dialog_.setCancelButton(nullptr);
    dialog_.setRange(0, 100);
    dialog_.setMinimumDuration(500);
    dialog_.setAutoClose(true);
    dialog_.setAutoReset(false);
    dialog_.setLabelText(QString("Frames: %1").arg(project_.frames.count()));
    dialog_.setValue(0);
}

void ProgressDialog::progress(int percent)
{
    dialog_.setLabelText(QString("Frames: %1").arg(project_.frames.count()));
    dialog_.setValue(std::min(percent, 100));
    // Until the dialog shows, and so blocks the window, clicks and keys wait:
    // a command must not start while this one is changing the frame list.
    QCoreApplication::processEvents(dialog_.isVisible() ? QEventLoop::AllEvents
                                                        : QEventLoop::ExcludeUserInputEvents);
}

bool ProgressDialog::cancelled() const
{
    return dialog_.wasCanceled();
}

}  // namespace pelko
