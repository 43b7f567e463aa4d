// "Add sound into AVI": the background sound the next AVI carries.

#include "engine/output/add_sound_values.h"
#include "gui/app/main_window.h"
#include "gui/playback/add_sound_form.h"
#include "gui/playback/playback_controller.h"
#include "gui/playback/sound_button.h"

namespace pelko {

void PlaybackController::ActionInsertWavExecute()
{
    w_.rail_.run([this] {
        OutputState& out = w_.generate_.output;
        out.OptionsChanged = false;
        TFormAddSound form(
            addSoundForDialog(w_.project_.settings, out), WavDurationMs,
            [this](const QString& caption, const QString& text) { dialogs_->message(&w_, caption, text); },
            &w_);
        form.player()->setPlayer(sound_);
        if (dialogs_->addSound(form) && confirmAddSound(form.values(), w_.project_.settings, out))
            w_.project_.changed = true;
        out.OptionsChanged = false;
    });
}

}  // namespace pelko
