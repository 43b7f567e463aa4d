#pragma once
// What the Generate command keeps beside the project while the program runs:
// the output state, the codec window's last choice, the last animation built
// (GeneratedGif) and the dialogs it asks through.

#include <memory>

#include "engine/avi/video_codecs.h"
#include "engine/output/build_animated_gif.h"
#include "engine/output/output_state.h"
#include "gui/output/animation_options_form.h"
#include "gui/output/output_dialogs.h"

class QLabel;

namespace pelko {

struct GenerateState {
    // ShowAviOptions and ShowGifOptions live in the window's show flags,
    // which the project options dialog sets as well; the command copies them
    // in and back.
    OutputState output;
    CompressOptions codec{"DIVX", -1, 0};     // what the codec window proposes
    std::shared_ptr<TGIFImage> generatedGif;  // the last animation built whole (the preview's)
    std::shared_ptr<OutputDialogs> dialogs = std::make_shared<WidgetOutputDialogs>();
    AnimationOptionsValues animation;  // the WebP, APNG, MP4 and WebM options, for the run
    QLabel* writtenPanel = nullptr;    // the status bar's panel of the file just written
    // The panel goes once the project moves on from the state it was written
    // from: the history's change count then, taken when the command ends.
    bool writtenJustNow = false;
    unsigned writtenAt = 0;
};

}  // namespace pelko
