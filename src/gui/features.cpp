#include "gui/features.h"

#include "gui/animation/animation_dialogs.h"
#include "gui/capture/capture_command.h"
#include "gui/colour/colour_dialogs.h"
#include "gui/effects/effects_commands.h"
#include "gui/export/export_commands.h"
#include "gui/frames/frame_commands.h"
#include "gui/history/history_commands.h"
#include "gui/output/generate_command.h"
#include "gui/playback/playback_controller.h"
#include "gui/project/project_commands.h"
#include "gui/widget_dialogs.h"

namespace pelko {

void installFeatures(TAVIForm& window)
{
    installProjectCommands(window);
    installEditCommands(window);
    installFrameOptionsCommands(window);
    installColourCommands(window);
    installFrameEffectCommands(window);
    installEffectsCommands(window);
    installAnimationCommands(window);
    installGenerateCommands(window);
    installExportCommands(window);
    installHistoryCommands(window);  // before the playback, which holds Undo and Redo back while playing
    installPlaybackCommands(window);
    installCaptureCommands(window);  // after Generate and Effects, whose state it shares
}

StartOptions withFeatures(StartOptions options)
{
    if (!options.dialogs)
        options.dialogs = std::make_shared<WidgetDialogProvider>();
    options.install = installFeatures;
    return options;
}

}  // namespace pelko
