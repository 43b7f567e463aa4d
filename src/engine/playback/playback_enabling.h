#pragma once
// What the window offers while the playback preview plays or is paused. While
// playing only Pause and Stop are enabled; while paused Run, Stop, the
// generate and frame-export tool bars and the Help menu. Stopped, the Run
// controls need a frame and everything else follows its own rule
// (engine/project/command_enabling.h).

#include "engine/playback/playback_phase.h"

namespace pelko {

struct PlaybackEnabling {
    bool run = false;    // the Run button and the four run items
    bool pause = false;  // "Pause"
    bool stop = false;   // "Stop"
    // The tool bars and menus; false disables every command in them.
    bool projectBar = true;
    bool editBar = true;
    bool effectsBar = true;
    bool generateBar = true;
    bool frameBar = true;
    bool fileMenu = true;
    bool editMenu = true;
    bool effectsMenu = true;
    bool helpMenu = true;
};

PlaybackEnabling playbackEnabling(PlaybackPhase phase, bool listNotEmpty);

}  // namespace pelko
