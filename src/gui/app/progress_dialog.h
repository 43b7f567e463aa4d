#pragma once
// ProgressDialog: the engine's progress of a long command in a dialog with
// the number of frames so far and a Cancel button. It only appears when the
// work takes a while.

#include <QProgressDialog>

#include "engine/base/progress.h"
#include "engine/project/project.h"

namespace pelko {

class ProgressDialog : public ProgressSink {
public:
    // Work that cannot stop halfway (cancellable false) shows no Cancel button.
    ProgressDialog(QWidget* parent, const Project& project, const QString& title, bool cancellable = true);
    void progress(int percent) override;
    bool cancelled() const override;
    QProgressDialog& dialog() { return dialog_; }

private:
    const Project& project_;
    QProgressDialog dialog_;
};

}  // namespace pelko
