#include "engine/output/generate_video.h"

#include <cerrno>
#include <memory>

#include <sys/stat.h>

#include "engine/avi/avi_result.h"
#include "engine/base/output_file.h"
#include "engine/output/output_target.h"
#include "engine/output/video_budget.h"
#include "engine/output/video_pass.h"

namespace pelko {
namespace {

// The sound of the output: one that cannot be used is left out and named,
// as the AVI does.
void chooseSound(VideoJob& job, OutputResult& result)
{
    const ProjectSettings& s = job.project.settings;
    const VideoFileOptions& o = job.options;
    const std::string& wav = o.soundFile.empty() ? s.Wav_File : o.soundFile;
    if (o.withoutSound || (!s.Sound && o.soundFile.empty()))
        return;
    std::string reason;
    if (!ReadWavForAvi(wav, job.sound, reason)) {
        result.soundDropped = wav + ": " + reason;
        struct stat st {};
        result.messages.push_back(::stat(wav.c_str(), &st) != 0 && errno == ENOENT
                                      ? "Not found the following sound file: " + wav
                                      : AviResultText(AVIERR_BADFORMAT) + "\n" + result.soundDropped);
        return;
    }
    job.wav = wav;
}

PassEnd generate(const VideoJob& job, OutputResult& result, ProgressSink& progress)
{
    std::unique_ptr<VideoFileWriter> writer;
    if (job.options.maxBytes > 0) {
        const PassEnd end = fitVideoUnderBudget(job, writer, result, progress);
        if (end != PassEnd::Done)
            return end;
    } else {
        writer = std::make_unique<VideoFileWriter>();
        if (!writer->open(job.path, job.options.format)) {
            addFailure(result, OutputFailure::CannotCreate, job.path, writer->error());
            return PassEnd::Failed;
        }
        VideoEncoderSettings settings;
        settings.crf = job.options.crf;
        settings.preset = job.options.preset;
        PassReport report;
        const PassEnd end = runVideoPass(job, settings, writer.get(), report, result, progress, 0, 99);
        if (end != PassEnd::Done)
            return end;
    }
    if (!writer->commit()) {
        addFailure(result, OutputFailure::Stated, job.path, writer->error());
        return PassEnd::Failed;
    }
    progress.progress(100);
    return PassEnd::Done;
}

}  // namespace

OutputResult generateVideoFile(const Project& project, const std::string& path,
                               const VideoFileOptions& options, ProgressSink& progress)
{
    OutputResult result;
    // The old file stays until the new one is complete; one that cannot be
    // replaced asks for another name.
    if (const int problem = replaceProblem(path)) {
        addFailure(result, OutputFailure::NameTaken, path, systemErrorText(path, problem));
        return result;
    }
    std::string why;
    if (!videoLibrary(&why)) {
        addFailure(result, OutputFailure::CannotCreate, path, path + ": " + why);
        return result;
    }
    if (project.frames.count() == 0) {
        addFailure(result, OutputFailure::Stated, path, path + ": there are no frames to write");
        return result;
    }
    // The encoders' progress notes are not for our users; errors still show.
    video().av_log_set_level(AV_LOG_ERROR);
    VideoJob job(project, path, options);
    chooseSound(job, result);
    result.ok = generate(job, result, progress) == PassEnd::Done;
    return result;
}

}  // namespace pelko
