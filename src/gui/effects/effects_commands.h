#pragma once
// The Effects menu: Clone, Flip and Convert on the selected frames, and the
// commands that generate frames, "Adding frames with Alpha blending" and
// "Creeping line", with what they keep for the run.

#include <QObject>

#include "gui/effects/effects_state.h"

namespace pelko {

class TAVIForm;

class EffectsFeature : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    GeneratedFramesState state;
};

void installFrameEffectCommands(TAVIForm& window);  // Clone, Flip, Convert
void installEffectsCommands(TAVIForm& window);      // Alpha blending, Creeping line
// What the commands keep (tests set the program folder).
GeneratedFramesState& generatedState(TAVIForm& window);

}  // namespace pelko
