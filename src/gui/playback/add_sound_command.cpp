// "Add sound into AVI": the background sound the next AVI carries.

#include "engine/output/add_sound_values.h"
#include "gui/app/main_window.h"
#include "gui/output/generate_command.h"
#include "gui/playback/add_sound_form.h"
#include "gui/playback/playback_controller.h"
#include "gui/playback/sound_button.h"

namespace pelko {

void PlaybackController::ActionInsertWavExecute()
{
    w_.rail().run([this] {
        OutputState& out = generateState(w_).output;
        out.OptionsChanged = false;
        TFormAddSound form(
            addSoundForDialog(w_.project().settings, out), WavDurationMs,
            [this](const QString& caption, const QString& text) { dialogs_->message(&w_, caption, text); },
            &w_);
        form.player()->setPlayer(sound_);
        if (dialogs_->addSound(form) && confirmAddSound(form.values(), w_.project().settings, out))
            w_.project().changed = true;
        out.OptionsChanged = false;
    });
}

}  // namespace pelko
