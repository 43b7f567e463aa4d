// Frame options: the dialog, then the engine's confirm and apply steps.

#include <QScrollArea>

#include "gui/app/main_window.h"
#include "gui/app/progress_dialog.h"
#include "gui/app/wait_guard.h"
#include "gui/frames/delay_form.h"
#include "gui/frames/frame_strip.h"

namespace pelko {

void TAVIForm::ActionFrameOptionsExecute()
{
    pendingFrameOptions_.flags = {};
    const int anchor = project_.selection.first();
    if (anchor < 0 || anchor >= project_.frames.count())
        return;
    guarded([this] {
        bool optionsChanged = false;
        {
            TDelayForm form(project_, this);
            if (!dialogs_->frameOptions(this, form))
                return;
            optionsChanged =
                confirmFrameOptions(pendingFrameOptions_, form.values(), form.marks(), project_.settings);
        }
        repaint();
        EditResult result;
        {
            WaitGuard wait(frameStrip_);
            ProgressDialog progress(this, project_, "Frame options", false);
            result = applyFrameOptions(project_, pendingFrameOptions_, optionsChanged, *reader_, progress);
        }
        mirrorProject(project_.selection.first());
        for (const std::string& e : result.errors) dialogs_->error(this, QString::fromStdString(e), false);
    });
}

void TAVIForm::cardOptionsClicked(int index)
{
    if (index < 0 || index >= project_.frames.count())
        return;
    project_.selection.selectOnly(index);
    mirrorProject(index);
    ActionFrameOptionsExecute();
}

}  // namespace pelko
