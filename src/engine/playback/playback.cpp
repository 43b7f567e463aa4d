#include "engine/playback/playback.h"

#include "engine/playback/playback_picture.h"
#include "engine/project/frame_cache.h"

namespace pelko {

namespace {

PlaybackMode modeOf(RunSource source, const ProjectSettings& settings)
{
    switch (source) {
        case RunSource::Avi:
            return PlaybackMode::Avi;
        case RunSource::Gif:
            return PlaybackMode::Gif;
        case RunSource::Button:
            break;
    }
    return settings.isGif() ? PlaybackMode::Gif : PlaybackMode::Avi;
}

}  // namespace

Playback::Playback(SoundPlayer* sound, SoundPlayer::Done soundDone)
    : sound_(sound), soundDone_(std::move(soundDone))
{
}

PlaybackStep Playback::run(const Project& project, RunSource source)
{
    const int n = project.frames.count();
    if (n == 0 || playing())
        return {};
    mode_ = modeOf(source, project.settings);
    const bool gifType = project.settings.isGif();
    if (paused()) {
        phase_ = PlaybackPhase::Playing;
        if (++current_ >= n)
            return end();
        // AVI mode keeps to its fresh canvas here too, so that earlier frames
        // never show through
        show(project, mode_ == PlaybackMode::Avi, gifType);
    } else {
        phase_ = PlaybackPhase::Playing;
        current_ = 0;
        picture_ = playbackCanvas(project.settings);
        show(project, mode_ == PlaybackMode::Avi, gifType);
    }
    if (source == RunSource::Avi && project.settings.Sound && sound_)
        sound_->playAsync(project.settings.Wav_File, soundDone_);
    return {true, false, periodOf(project)};
}

PlaybackStep Playback::tick(const Project& project)
{
    if (!playing())
        return {};
    if (++current_ >= project.frames.count())
        return end();
    show(project, mode_ == PlaybackMode::Avi, true);
    return {true, false, periodOf(project)};
}

void Playback::pause(const Project& project)
{
    if (!playing())
        return;
    if (project.settings.Sound && sound_)
        sound_->stop();
    phase_ = PlaybackPhase::Paused;
}

void Playback::stop(const Project& project)
{
    if (phase_ == PlaybackPhase::Stopped)
        return;
    if (project.settings.Sound && sound_)
        sound_->stop();
    phase_ = PlaybackPhase::Stopped;
    current_ = 0;
}

PlaybackStep Playback::end()
{
    phase_ = PlaybackPhase::Stopped;
    return {false, true, -1};
}

void Playback::show(const Project& project, bool fresh, bool transparent)
{
    const FrameRecord& frame = project.frames[std::size_t(current_)];
    const FramePicture image = frameImage(project, current_);
    if (fresh) {
        picture_ = aviPlaybackFrame(project.settings, frame, image.get());
        return;
    }
    drawPlaybackFrame(picture_, frame, image.get(), transparent && frame.Gif.GIFTransparent);
}

int Playback::periodOf(const Project& project) const
{
    if (mode_ == PlaybackMode::Avi)
        return project.settings.AviFrameTime;
    return project.frames[std::size_t(current_)].Time;
}

}  // namespace pelko
