#include "engine/output/add_sound_values.h"

#include <algorithm>
#include <cctype>

namespace pelko {

AddSoundValues addSoundForDialog(const ProjectSettings& settings, const OutputState& state)
{
    return {settings.Sound, settings.Wav_File, state.SoundDuration};
}

bool confirmAddSound(const AddSoundValues& values, ProjectSettings& settings, OutputState& state)
{
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    const bool sameName =
        std::equal(values.wavFile.begin(), values.wavFile.end(), settings.Wav_File.begin(),
                   settings.Wav_File.end(), [&](char a, char b) { return lower(a) == lower(b); });
    if (values.sound != settings.Sound || !sameName)
        state.OptionsChanged = true;
    settings.Sound = values.sound;
    settings.Wav_File = values.wavFile;
    state.SoundDuration = values.soundDuration;
    return state.OptionsChanged;
}

}  // namespace pelko
