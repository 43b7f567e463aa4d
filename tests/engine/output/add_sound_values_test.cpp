#include "engine/output/add_sound_values.h"

#include <gtest/gtest.h>

namespace pelko {
namespace {

TEST(AddSoundValues, OkCountsAChangeOfTheBoxOrTheNameButNotOfItsCase)
{
    struct Case {
        const char* name;
        bool sound;
        const char* file;
        bool changed;
    };
    const Case cases[] = {
        {"nothing changed", true, "/music/Song.wav", false},
        {"only the case of the name", true, "/MUSIC/song.WAV", false},
        {"another name", true, "/music/other.wav", true},
        {"the box cleared", false, "/music/Song.wav", true},
    };
    for (const Case& c : cases) {
        ProjectSettings settings;
        settings.Sound = true;
        settings.Wav_File = "/music/Song.wav";
        OutputState state;
        AddSoundValues v = addSoundForDialog(settings, state);
        v.sound = c.sound;
        v.wavFile = c.file;
        v.soundDuration = 1234;
        EXPECT_EQ(confirmAddSound(v, settings, state), c.changed) << c.name;
        EXPECT_EQ(state.OptionsChanged, c.changed) << c.name;
        // stored either way, the name as typed; clearing the box keeps the name
        EXPECT_EQ(settings.Wav_File, c.file) << c.name;
        EXPECT_EQ(settings.Sound, c.sound) << c.name;
        EXPECT_EQ(state.SoundDuration, 1234) << c.name;
    }
}

}  // namespace
}  // namespace pelko
