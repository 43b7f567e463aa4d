#include "engine/output/output_dialog_values.h"

#include <algorithm>
#include <cctype>

namespace pelko {
namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

int aviDialogFrameTime(int typed)
{
    return std::clamp(typed, kAviDialogMinFrameTime, kAviDialogMaxFrameTime);
}

AviOptionsValues aviOptionsForDialog(const ProjectSettings& settings, const OutputState& state)
{
    AviOptionsValues v;
    v.frameTime = aviDialogFrameTime(settings.AviFrameTime);
    v.showCodecWindow = state.ShowCodecWindow;
    v.sound = settings.Sound;
    v.wavFile = settings.Wav_File;
    v.showAlways = state.ShowAviOptions;
    v.soundDuration = state.SoundDuration;
    return v;
}

bool confirmAviOptions(const AviOptionsValues& values, ProjectSettings& settings, OutputState& state)
{
    const int frameTime = aviDialogFrameTime(values.frameTime);
    if (frameTime != settings.AviFrameTime || values.sound != settings.Sound ||
        !sameIgnoringCase(values.wavFile, settings.Wav_File))
        state.OptionsChanged = true;
    settings.AviFrameTime = frameTime;
    state.ShowCodecWindow = values.showCodecWindow;
    state.ShowAviOptions = values.showAlways;
    settings.Wav_File = values.wavFile;
    settings.Sound = values.sound;
    state.SoundDuration = values.soundDuration;
    return state.OptionsChanged;
}

GifOptionsValues gifOptionsForDialog(const ProjectSettings& settings, const OutputState& state)
{
    GifOptionsValues v;
    v.optimize = settings.Optimize;
    v.merge = settings.Merge;
    v.crop = settings.Crop;
    v.interlaced = settings.Interlaced;
    v.infiniteLoop = state.GifLoops == 0;
    v.loops = std::clamp(int(state.GifLoops), kMinGifLoops, kMaxGifLoops);
    v.showAlways = state.ShowGifOptions;
    v.smallerFile = settings.BestPalette || settings.Lossy > 0;
    v.strength = v.smallerFile ? std::clamp(int(settings.Lossy), 0, 100) : kDefaultGifStrength;
    return v;
}

GifOptionsValues gifDialogDefaults(const GifOptionsValues& values)
{
    GifOptionsValues d;
    d.infiniteLoop = values.infiniteLoop;
    d.loops = kMinGifLoops;
    d.showAlways = true;
    return d;
}

std::uint16_t gifLoopsOf(const GifOptionsValues& values)
{
    return values.infiniteLoop ? 0 : std::uint16_t(std::clamp(values.loops, kMinGifLoops, kMaxGifLoops));
}

AnimatedGifOptions gifBuildOptionsOf(const GifOptionsValues& values)
{
    AnimatedGifOptions o;
    o.mergeColorMaps = values.optimize;
    o.crop = values.crop;
    o.interlaced = values.interlaced;
    o.mergeSimilarities = values.merge;
    o.loops = gifLoopsOf(values);
    o.bestPalette = values.smallerFile;
    o.lossy = values.smallerFile ? std::clamp(values.strength, 0, 100) : 0;
    return o;
}

bool confirmGifOptions(const GifOptionsValues& values, ProjectSettings& settings, OutputState& state)
{
    if (values.optimize != settings.Optimize || values.merge != settings.Merge ||
        values.crop != settings.Crop || values.interlaced != settings.Interlaced)
        state.OptionsChanged = true;
    const AnimatedGifOptions mode = gifBuildOptionsOf(values);
    if (mode.bestPalette != settings.BestPalette || mode.lossy != settings.Lossy)
        state.OptionsChanged = true;
    settings.BestPalette = mode.bestPalette;
    settings.Lossy = mode.lossy;
    state.ShowGifOptions = values.showAlways;
    settings.Optimize = values.optimize;
    settings.Merge = values.merge;
    settings.Crop = values.crop;
    settings.Interlaced = values.interlaced;
    state.GifLoops = gifLoopsOf(values);
    return state.OptionsChanged;
}

}  // namespace pelko
