// "Optimize frame's color": the GIF frame options of the selected frames.
// The dialog picks the values; storing them in the frames is the engine's.

#include <QAction>

#include "engine/project/gif_color_options.h"
#include "gui/app/main_window.h"
#include "gui/colour/colour_dialogs.h"
#include "gui/colour/gif_option_form.h"
#include "gui/frames/frame_strip.h"

namespace pelko {

bool WidgetColourDialogs::gifOptions(TGifOptionForm& form)
{
    return form.exec() == QDialog::Accepted;
}

void TAVIForm::connectColourCommands()
{
    connect(ActionOptimizeColor, &QAction::triggered, this, &TAVIForm::ActionOptimizeColorExecute);
    connect(cards_, &FrameStrip::colorClicked, this, &TAVIForm::cardColorClicked);
}

void TAVIForm::ActionOptimizeColorExecute()
{
    rail_.run([this] {
        generate_.output.OptionsChanged = false;
        const int anchor = project_.selection.first();
        if (anchor < 0 || anchor >= project_.frames.count() || !project_.settings.isGif())
            return;
        TGifOptionForm form(project_, this);
        if (colourDialogs_->gifOptions(form))
            generate_.output.OptionsChanged = storeGifOptions(project_, form.values(), form.touched());
        if (generate_.output.OptionsChanged)
            applyEnabling();  // "Save project"
        generate_.output.OptionsChanged = false;
    });
}

void TAVIForm::cardColorClicked(int index)
{
    if (index < 0 || index >= project_.frames.count() || !project_.settings.isGif())
        return;
    project_.selection.selectOnly(index);
    mirrorProject(index);
    ActionOptimizeColorExecute();
}

}  // namespace pelko
