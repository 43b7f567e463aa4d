#include "engine/output/video_pass.h"

#include <algorithm>
#include <memory>

#include "engine/base/ordered_pipeline.h"
#include "engine/base/parallel.h"
#include "engine/output/sound_encoder.h"
#include "engine/project/composition.h"
#include "engine/project/frame_cache.h"

namespace pelko {

VideoJob::VideoJob(const Project& p, std::string file, const VideoFileOptions& o)
    : project(p), path(std::move(file)), options(o)
{
    // A frame of no time is shown for a millisecond, taken from the next.
    const int n = p.frames.count();
    std::int64_t at = 0;
    for (int i = 0; i < n; ++i) {
        start.push_back(i > 0 ? std::max(at, start.back() + 1) : at);
        at += p.frames[std::size_t(i)].Time;
    }
    for (int i = 0; i < n; ++i)
        duration.push_back(i + 1 < n ? start[std::size_t(i) + 1] - start[std::size_t(i)]
                                     : std::max<std::int64_t>(p.frames[std::size_t(i)].Time, 1));
    totalMs = n ? start.back() + duration.back() : 0;
    frameTimeMs = n ? int(std::max<std::int64_t>(1, (totalMs + n / 2) / n)) : 0;
}

bool composeVideoFrame(const VideoJob& job, int index, Picture& canvas, OutputResult& result)
{
    const ProjectSettings& s = job.project.settings;
    try {
        if (canvas.width() != s.Width || canvas.height() != s.Height)
            canvas = Picture(s.Width, s.Height);
        canvas.fill(0xFFFFFF);
    } catch (const std::exception&) {
        addFailure(result, OutputFailure::NoBitmap, job.path,
                   job.path + ": not enough memory for a frame of " + std::to_string(s.Width) + " x " +
                       std::to_string(s.Height));
        return false;
    }
    // From the frame cache, which keeps the source but not the frame image.
    const FramePicture image = frameImage(job.project, index, false);
    if (!image.ok()) {
        addFailure(result, OutputFailure::NoBitmap, job.path,
                   frameFailureLine(job.project, index, image.status));
        return false;
    }
    drawFrameOnCanvas(canvas, job.project.frames[std::size_t(index)], *image.picture);
    return true;
}

PassEnd runVideoPass(const VideoJob& job, VideoEncoderSettings settings, VideoFileWriter* writer,
                     PassReport& report, OutputResult& result, ProgressSink& progress, int progressFrom,
                     int progressTo)
{
    const auto failed = [&](const std::string& reason) {
        addFailure(result, OutputFailure::Stated, job.path, job.path + ": " + reason);
        return PassEnd::Failed;
    };
    const auto writerFailed = [&]() {
        addFailure(result, OutputFailure::Stated, job.path, writer->error());
        return PassEnd::Failed;
    };
    settings.format = job.options.format;
    settings.width = job.project.settings.Width;
    settings.height = job.project.settings.Height;
    settings.frameTimeMs = job.frameTimeMs;
    settings.globalHeader = writer && writer->wantsGlobalHeader();
    VideoEncoder encoder;
    if (!encoder.open(settings)) {
        report.encoderRefused = true;
        return failed(encoder.error());
    }
    std::unique_ptr<SoundEncoder> sound;
    // The first pass counts the sound's bytes; the second only writes them.
    if (job.withSound() && (writer || settings.pass == 1)) {
        sound = std::make_unique<SoundEncoder>();
        if (!sound->open(job.wav, job.sound, job.options.format, settings.globalHeader))
            return failed(sound->error());
    }
    int videoStream = -1, soundStream = -1;
    if (writer) {
        videoStream = writer->addStream(encoder.context());
        if (videoStream < 0 || (sound && (soundStream = writer->addStream(sound->context())) < 0) ||
            !writer->writeHeader())
            return writerFailed();
    }
    const AVRational videoBase = encoder.context()->time_base;
    const VideoEncoder::PacketSink videoSink = [&](AVPacket* pkt) {
        report.videoBytes += std::uint64_t(pkt->size);
        return !writer || writer->write(pkt, videoStream, videoBase);
    };
    const SoundEncoder::PacketSink soundSink = [&](AVPacket* pkt) {
        report.soundBytes += std::uint64_t(pkt->size);
        return !writer || writer->write(pkt, soundStream, sound->context()->time_base);
    };
    // A failure of the writer words itself; one of an encoder, here.
    const auto encodingFailed = [&](const std::string& encoderError) {
        return writer && !writer->error().empty() ? writerFailed() : failed(encoderError);
    };

    // The frames are composed on worker threads a few ahead of the encoder,
    // which takes them in order on this one.
    struct Composed {
        Picture canvas;
        OutputResult failure;
        bool ok = false;
    };
    const int n = job.frameCount();
    PassEnd end = PassEnd::Done;
    const auto compose = [&](int i) {
        Composed c;
        c.ok = composeVideoFrame(job, i, c.canvas, c.failure);
        return c;
    };
    const auto encode = [&](int i, Composed c) {
        if (!c.ok) {
            result.messages.insert(result.messages.end(), c.failure.messages.begin(),
                                   c.failure.messages.end());
            result.failure = c.failure.failure;
            end = PassEnd::Failed;
            return false;
        }
        const std::size_t k = std::size_t(i);
        if (!encoder.encode(c.canvas, job.start[k], job.duration[k], videoSink)) {
            end = encodingFailed(encoder.error());
            return false;
        }
        if (sound && !sound->encodeUntil(job.start[k] + job.duration[k], soundSink)) {
            end = encodingFailed(sound->error());
            return false;
        }
        progress.frames(i + 1, n);
        progress.progress(progressFrom + (progressTo - progressFrom) * (i + 1) / n);
        if (progress.cancelled()) {
            markCancelled(result, job.path);
            end = PassEnd::Cancelled;
            return false;
        }
        return true;
    };
    if (!runInOrder<Composed>(n, std::min(workerCount(0), n), compose, encode))
        return end;
    if (!encoder.finish(videoSink))
        return encodingFailed(encoder.error());
    if (sound && !sound->finish(soundSink))
        return encodingFailed(sound->error());
    report.firstPassStats = encoder.firstPassStats();
    if (writer && !writer->finish())
        return writerFailed();
    return PassEnd::Done;
}

}  // namespace pelko
