// Frame options: the dialog, then the engine's confirm and apply steps.

#include <QScrollArea>

#include "gui/app/main_window.h"
#include "gui/frames/delay_form.h"
#include "gui/frames/frame_strip.h"

namespace pelko {

void TAVIForm::ActionFrameOptionsExecute()
{
    rail_.run([this] {
        pendingFrameOptions_.flags = {};
        const int anchor = project_.selection.first();
        if (anchor < 0 || anchor >= project_.frames.count())
            return;
        bool optionsChanged = false;
        {
            TDelayForm form(project_, this);
            if (!dialogs_->frameOptions(this, form))
                return;
            optionsChanged =
                confirmFrameOptions(pendingFrameOptions_, form.values(), form.marks(), project_.settings);
        }
        repaint();
        const EditResult result = rail_.work({frameStrip_, "Frame options"}, [&](ProgressSink& progress) {
            return applyFrameOptions(project_, pendingFrameOptions_, optionsChanged, *reader_, progress);
        });
        mirrorProject(project_.selection.first());
        showErrors(result.errors);
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
