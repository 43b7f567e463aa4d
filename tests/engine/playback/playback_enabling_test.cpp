#include "engine/playback/playback_enabling.h"

#include <gtest/gtest.h>

namespace pelko {
namespace {

TEST(PlaybackEnabling, PlayingOffersOnlyPauseAndStopPausedOffersRunStopGenerateExportAndHelp)
{
    const PlaybackEnabling playing = playbackEnabling(PlaybackPhase::Playing, true);
    EXPECT_FALSE(playing.run);
    EXPECT_TRUE(playing.pause && playing.stop);
    for (bool on :
         {playing.projectBar, playing.editBar, playing.effectsBar, playing.generateBar, playing.frameBar,
          playing.fileMenu, playing.editMenu, playing.effectsMenu, playing.helpMenu})
        EXPECT_FALSE(on);

    const PlaybackEnabling paused = playbackEnabling(PlaybackPhase::Paused, true);
    EXPECT_TRUE(paused.run && paused.stop && paused.generateBar && paused.frameBar && paused.helpMenu);
    EXPECT_FALSE(paused.pause);
    for (bool on : {paused.projectBar, paused.editBar, paused.effectsBar, paused.fileMenu, paused.editMenu,
                    paused.effectsMenu})
        EXPECT_FALSE(on);

    const PlaybackEnabling stopped = playbackEnabling(PlaybackPhase::Stopped, true);
    EXPECT_TRUE(stopped.run && stopped.fileMenu && stopped.projectBar);
    EXPECT_FALSE(stopped.pause || stopped.stop);
    EXPECT_FALSE(playbackEnabling(PlaybackPhase::Stopped, false).run);
}

}  // namespace
}  // namespace pelko
