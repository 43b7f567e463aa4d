#include "engine/playback/playback_enabling.h"

namespace pelko {

PlaybackEnabling playbackEnabling(PlaybackPhase phase, bool listNotEmpty)
{
    PlaybackEnabling e;
    switch (phase) {
        case PlaybackPhase::Stopped:
            e.run = listNotEmpty;
            break;
        case PlaybackPhase::Playing:
            e.pause = e.stop = true;
            e.projectBar = e.editBar = e.effectsBar = e.generateBar = e.frameBar = false;
            e.fileMenu = e.editMenu = e.effectsMenu = e.helpMenu = false;
            break;
        case PlaybackPhase::Paused:
            e.run = e.stop = true;
            e.projectBar = e.editBar = e.effectsBar = false;
            e.fileMenu = e.editMenu = e.effectsMenu = false;
            break;
    }
    return e;
}

}  // namespace pelko
