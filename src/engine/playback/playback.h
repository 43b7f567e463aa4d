#pragma once
// Playback: the playback preview as a state machine without a clock. The
// window calls run, tick, pause and stop; each says what to show and when
// the next tick is due, and the background sound follows through the
// SoundPlayer (started by the AVI run controls when the project has a sound,
// stopped by Pause and Stop, started again from its beginning when an AVI
// run control resumes; a sound still playing when the frames run out goes
// on).
//
// Frame images come through the project's frame cache. The playback picture
// has the project's Width x Height.

#include <string>

#include "engine/avi/sound_player.h"
#include "engine/image/picture.h"
#include "engine/playback/playback_phase.h"
#include "engine/project/project.h"

namespace pelko {

// What the window does after a step.
struct PlaybackStep {
    bool shown = false;  // the playback picture changed: paint it
    bool ended = false;  // the frames ran out (or there were none left to resume with)
    int period = -1;     // milliseconds until the next tick; -1: no tick
};

class Playback {
public:
    // sound: the player of the background sound (none: silent); soundDone is
    // handed to every playAsync.
    explicit Playback(SoundPlayer* sound = nullptr, SoundPlayer::Done soundDone = {});

    PlaybackPhase phase() const { return phase_; }
    bool playing() const { return phase_ == PlaybackPhase::Playing; }
    bool paused() const { return phase_ == PlaybackPhase::Paused; }
    PlaybackMode mode() const { return mode_; }
    // The index of the frame shown last.
    int current() const { return current_; }
    // What the preview shows while playing or paused, and after the end.
    const Picture& picture() const { return picture_; }

    void setSoundPlayer(SoundPlayer* sound) { sound_ = sound; }

    // Starts (stopped) or resumes (paused) the playback. Nothing happens on
    // an empty frame list or while playing. Resuming shows the frame after
    // the one shown; when that was the last, the playback ends.
    PlaybackStep run(const Project& project, RunSource source);
    // The timer's event: the next frame, or the end.
    PlaybackStep tick(const Project& project);
    // Keeps the position; the sound stops when the project has one.
    void pause(const Project& project);
    // Back to the start; the sound stops when the project has one.
    void stop(const Project& project);

private:
    void show(const Project& project, bool fresh, bool transparent);
    int periodOf(const Project& project) const;
    PlaybackStep end();

    SoundPlayer* sound_ = nullptr;
    SoundPlayer::Done soundDone_;
    PlaybackPhase phase_ = PlaybackPhase::Stopped;
    PlaybackMode mode_ = PlaybackMode::Avi;
    int current_ = 0;
    Picture picture_;
};

}  // namespace pelko
