#pragma once
// The values of the background sound dialog ("Add sound into AVI"): what it
// starts from and what its "OK" stores in the project and the output state.

#include <cstdint>
#include <string>

#include "engine/output/output_state.h"
#include "engine/project/project_settings.h"

namespace pelko {

struct AddSoundValues {
    bool sound = false;  // "Background sound"
    std::string wavFile;
    std::int32_t soundDuration = 0;  // ms; -1 when the WAV could not be measured
};

AddSoundValues addSoundForDialog(const ProjectSettings& settings, const OutputState& state);

// "OK": OptionsChanged is set when the box differs from Sound or the file
// name from Wav_File (without regard to case); then Sound, Wav_File and
// SoundDuration are stored. Returns OptionsChanged.
bool confirmAddSound(const AddSoundValues& values, ProjectSettings& settings, OutputState& state);

}  // namespace pelko
