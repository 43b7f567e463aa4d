#pragma once
// Generate's outputs beside the AVI and the animated GIF: animated WebP,
// APNG, MP4 and WebM, each after its options dialog, under a size budget
// when one is given.

#include <QString>

#include "engine/output/output_target.h"

namespace pelko {

class TAVIForm;
struct GenerateState;

struct AnimationWritten {
    bool asked = false;  // the options dialog closed with Save
    bool ok = false;     // the file is written
    QString budget;      // "1.95 MB, quality 71, mean PSNR 36.2 dB" when fitted under a budget
};

// Writes the project at path as kind after asking its options; the options
// chosen are kept in state for the run.
AnimationWritten writeAnimationOutput(TAVIForm& window, GenerateState& state, const QString& path,
                                      OutputKind kind);

}  // namespace pelko
