#pragma once
// A SoundPlayer that plays nothing and writes down what it was asked:
// "play FILE", "async FILE", "stop". play() answers with result.

#include <string>
#include <vector>

#include "engine/avi/sound_player.h"

namespace pelko::test {

struct RecordingSoundPlayer : SoundPlayer {
    std::vector<std::string> calls;
    SoundResult result;        // what play() and every done answer
    std::vector<Done> undone;  // the background sounds not ended yet

    SoundResult play(const std::string& path) override
    {
        calls.push_back("play " + path);
        return result;
    }
    void playAsync(const std::string& path, Done done) override
    {
        calls.push_back("async " + path);
        if (done)
            undone.push_back(std::move(done));
    }
    // Like a real player, stopping ends the sounds that play.
    void stop() override
    {
        calls.push_back("stop");
        finishAll();
    }
    // Ends the background sounds as the player would.
    void finishAll()
    {
        auto ending = std::move(undone);
        undone.clear();
        for (auto& done : ending) done(result);
    }
};

}  // namespace pelko::test
