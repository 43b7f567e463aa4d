#pragma once
// PulseSoundPlayer: the engine's SoundPlayer over libpulse-simple, which
// PulseAudio and PipeWire's PulseAudio service both serve. A WAV file's
// samples go to the server in the file's own format (8, 16, 24 or 32-bit
// PCM, any number of channels and rate the server takes). Each sound plays
// on a thread of its own, so connecting to a server never holds up the
// caller of playAsync; a missing server or a file that cannot be played ends
// the sound with a message ("FILE: reason"). stop() waits for silence (at most
// what the server buffers, a fifth of a second) and never longer than a
// second: a server that stops answering holds up only the sound's thread.

#include <memory>
#include <mutex>
#include <string>

#include "engine/avi/sound_player.h"

namespace pelko {

class PulseSoundPlayer : public SoundPlayer {
public:
    // server: the server to play on ("unix:/run/.../native"); empty for the
    // desktop's own.
    explicit PulseSoundPlayer(std::string server = {});
    ~PulseSoundPlayer() override;
    PulseSoundPlayer(const PulseSoundPlayer&) = delete;
    PulseSoundPlayer& operator=(const PulseSoundPlayer&) = delete;

    SoundResult play(const std::string& path) override;
    void playAsync(const std::string& path, Done done) override;
    void stop() override;

    struct Session;

private:
    std::shared_ptr<Session> begin();

    std::string server_;
    std::mutex mutex_;
    std::shared_ptr<Session> current_;  // the sound that plays now
};

}  // namespace pelko
