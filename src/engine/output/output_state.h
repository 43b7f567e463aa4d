#pragma once
// Run-time output state kept beside the project while the program runs; none
// of it is stored in the project file.

#include <cstdint>
#include <memory>
#include <string>

namespace pelko {

class TGIFImage;

struct OutputState {
    bool ShowAviOptions = true;
    bool ShowGifOptions = true;
    bool ShowCodecWindow = true;
    std::uint16_t GifLoops = 0;      // 0: endless
    std::int32_t SoundDuration = 0;  // ms of the WAV last loaded in a sound dialog
    bool OptionsChanged = false;
    std::string OutputName;  // file name of the last output, without folder
};

}  // namespace pelko
