#pragma once
// What the main window keeps for the commands that generate frames.

#include <QString>
#include <optional>

#include "engine/effects/alpha_blend.h"
#include "engine/effects/creeping_line.h"

namespace pelko {

struct GeneratedFramesState {
    AlphaBlendSettings alpha;  // remembered for the rest of the run
    // The creeping line's settings for the open project; unset: the defaults
    // of its canvas (after New, Open and Project options).
    std::optional<CreepingLineSettings> text;
    QString lastEffectFile;  // the GIF written last
    QString programFolder;   // where "Work" is looked for; empty: the program's own folder
};

}  // namespace pelko
