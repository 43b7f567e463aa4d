#pragma once
// SoundPlayer: plays a WAV file on the desktop's sound server. The engine
// only declares it; src/platform implements it (PulseAudio), tests supply
// their own. Nothing here ever waits for a server that does not answer: a
// sound that cannot be played is a message, and the caller goes on silently.

#include <functional>
#include <string>

namespace pelko {

// How a sound ended. ok false: message says why, as "FILE: reason".
struct SoundResult {
    bool ok = true;
    std::string message;
};

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;

    // Plays the file to its end, or until stop() is called from another
    // thread. Stops any sound in the background first.
    virtual SoundResult play(const std::string& path) = 0;

    // Starts playing the file in the background and returns at once, after
    // stopping any sound that plays. done, when given, is called once when
    // this sound ends (played through, stopped, or failed), on whatever
    // thread the player uses.
    using Done = std::function<void(const SoundResult&)>;
    virtual void playAsync(const std::string& path, Done done = {}) = 0;

    // Stops whatever sound plays; returns when it is silent.
    virtual void stop() = 0;
};

}  // namespace pelko
