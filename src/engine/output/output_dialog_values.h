#pragma once
// The values of the two output options dialogs (the AVI options and the
// animated GIF options): what they start from, the rules of their fields,
// and what their "Save" stores in the project and the output state.

#include <cstdint>
#include <string>

#include "engine/output/build_animated_gif.h"
#include "engine/output/output_state.h"
#include "engine/project/project_settings.h"

namespace pelko {

// TAviOptionsForm.
struct AviOptionsValues {
    int frameTime = 1000;  // ms, 20..10000
    bool showCodecWindow = true;
    bool sound = false;
    std::string wavFile;
    bool showAlways = true;
    std::int32_t soundDuration = 0;  // ms; -1 when the WAV could not be measured
};

constexpr int kAviDialogMinFrameTime = 20;
constexpr int kAviDialogMaxFrameTime = 10000;

// A frame duration the field takes: below 20 becomes 20, above 10000 10000.
int aviDialogFrameTime(int typed);

AviOptionsValues aviOptionsForDialog(const ProjectSettings& settings, const OutputState& state);

// "Save": OptionsChanged is set unless the frame time, the sound box and the
// WAV file name (without regard to case) are what the project has; then the
// values are stored. Returns OptionsChanged.
bool confirmAviOptions(const AviOptionsValues& values, ProjectSettings& settings, OutputState& state);

// TAniGIFForm.
struct GifOptionsValues {
    bool optimize = false;  // "Optimizes all local color maps into a single global map"
    bool merge = false;     // "Replace frame similarities with transparency"
    bool crop = false;      // "Remove unused transparent areas"
    bool interlaced = false;
    bool infiniteLoop = true;
    int loops = 1;  // 1..255, the field's value; used when infiniteLoop is clear
    bool showAlways = true;
    bool smallerFile = false;  // "Smaller file": refined palettes and lossy LZW
    int strength = 40;         // its slider, 0..100: the strength of the smaller-file mode
};

constexpr int kDefaultGifStrength = 40;
constexpr int kMinGifLoops = 1;
constexpr int kMaxGifLoops = 255;

GifOptionsValues gifOptionsForDialog(const ProjectSettings& settings, const OutputState& state);

// "by default": the four boxes and "Smaller file" cleared, its strength back
// to kDefaultGifStrength, "Show always" checked, the loops
// field at its minimum; "Infinite loop" as it was.
GifOptionsValues gifDialogDefaults(const GifOptionsValues& values);

// The loop count the values stand for: 0 (endless) with "Infinite loop".
std::uint16_t gifLoopsOf(const GifOptionsValues& values);

// What the animation is built with from the dialog's boxes.
AnimatedGifOptions gifBuildOptionsOf(const GifOptionsValues& values);

// "Save": OptionsChanged is set exactly when one of the four boxes or the
// smaller-file mode differs from the project (the loop count does not
// count); then the boxes, the mode, "Show always" and the loop count are
// stored. Returns OptionsChanged.
bool confirmGifOptions(const GifOptionsValues& values, ProjectSettings& settings, OutputState& state);

}  // namespace pelko
