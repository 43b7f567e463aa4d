#include "engine/output/generate_avi.h"

#include <cerrno>

#include <sys/stat.h>

#include "engine/avi/avi_writer.h"
#include "engine/base/output_file.h"
#include "engine/output/output_target.h"
#include "engine/project/composition.h"
#include "engine/project/frame_cache.h"

namespace pelko {
namespace {

// The window's text, with the reason on a line of its own.
std::string withReason(const std::string& text, const std::string& reason)
{
    return reason.empty() ? text : text + "\n" + reason;
}

// Writes the AVI into result (all but ok, cancelled and canRetry, which
// follow from the code returned).
AviResult generate(const Project& project, const std::string& fileName, const AviGenerateOptions& options,
                   OutputResult& result, ProgressSink& progress)
{
    // The old file stays until the new one is complete; one that cannot be
    // replaced asks for another name.
    if (const int problem = replaceProblem(fileName)) {
        addFailure(result, OutputFailure::NameTaken, fileName, systemErrorText(fileName, problem));
        return AVIERR_ERROR;
    }

    const ProjectSettings& s = project.settings;
    const std::string& wav = options.soundFile.empty() ? s.Wav_File : options.soundFile;
    bool withSound = !options.withoutSound && (s.Sound || !options.soundFile.empty());
    // The sound is looked at before any frame: one that cannot be used is
    // left out, and the writer knows the format of one that can, so it puts
    // the sound straight into the file instead of copying the video at the end.
    WavLayout sound;
    if (withSound) {
        std::string reason;
        if (!ReadWavForAvi(wav, sound, reason)) {
            withSound = false;
            result.soundDropped = wav + ": " + reason;
            struct stat st {};
            result.messages.push_back(::stat(wav.c_str(), &st) != 0 && errno == ENOENT
                                          ? "Not found the following sound file: " + wav
                                          : withReason(AviResultText(AVIERR_BADFORMAT), result.soundDropped));
        }
    }
    std::string error;
    AviWriterPtr writer =
        OpenAviWriter(fileName, s.AviFrameTime, withSound ? &sound.format : nullptr, &error);
    if (!writer) {
        addFailure(result, OutputFailure::CannotCreate, fileName, error);
        return AVIERR_ERROR;
    }
    const auto writerFailed = [&](AviResult code) {
        addFailure(result, code, fileName, AviWriterError(writer.get()));
        return code;
    };
    const int n = project.frames.count();
    for (int i = 0; i < n; ++i) {
        Picture canvas;
        try {
            canvas = Picture(s.Width, s.Height);
        } catch (const std::exception&) {
            // the writer is discarded and leaves no file
            addFailure(result, OutputFailure::NoBitmap, fileName,
                       fileName + ": not enough memory for a frame of " + std::to_string(s.Width) + " x " +
                           std::to_string(s.Height));
            return AVIERR_ERROR;
        }
        // From the frame cache, which keeps the source but not the frame
        // image (every frame is written once). A frame that cannot be
        // rendered (its source unreadable, or gone with nothing of it held)
        // ends generation: the AVI would show a blank frame in its place.
        const FramePicture image = frameImage(project, i, false);
        if (!image.ok()) {
            addFailure(result, OutputFailure::NoBitmap, fileName, frameFailureLine(project, i, image.status));
            return AVIERR_ERROR;
        }
        drawFrameOnCanvas(canvas, project.frames[std::size_t(i)], *image.picture);
        if (i == 0 && (options.showCodecWindow || !options.compress.fourcc.empty())) {
            const AviResult chosen = ChooseVideoCodec(writer.get(), &canvas, &options.compress,
                                                      options.showCodecWindow, options.chooser);
            if (chosen != AVIERR_OK)
                return writerFailed(chosen);
        }
        const AviResult written = WriteVideoFrame(writer.get(), &canvas);
        if (written != AVIERR_OK)
            return writerFailed(written);
        progress.frames(i + 1, n);
        progress.progress((i + 1) * 95 / n);
        if (progress.cancelled()) {
            markCancelled(result, fileName);
            return AVIERR_USERABORT;
        }
    }
    if (withSound) {
        const AviResult written = WriteWavSound(writer.get(), wav);
        if (written != AVIERR_OK) {
            // the AVI stays valid without its sound
            result.soundDropped = wav + ": " + AviResultText(written);
            result.messages.push_back(AviResultText(written));
        }
    }
    const AviResult closed = CloseAviWriter(std::move(writer), &error);
    progress.progress(100);
    if (closed != AVIERR_OK) {
        addFailure(result, closed, fileName, error);
        return closed;
    }
    return AVIERR_OK;
}

}  // namespace

OutputResult generateAviFile(const Project& project, const std::string& fileName,
                             const AviGenerateOptions& options, ProgressSink& progress)
{
    OutputResult result;
    const AviResult code = generate(project, fileName, options, result, progress);
    result.ok = code == AVIERR_OK;
    result.cancelled = code == AVIERR_USERABORT;
    result.canRetry = !endsAviAttempts(code);
    return result;
}

bool endsAviAttempts(AviResult result)
{
    return result == AVIERR_OK || result == AVIERR_USERABORT || result == AVIERR_ERROR;
}

OutputResult generateAviFileWithRetry(const Project& project, const std::string& fileName,
                                      const AviGenerateOptions& options, int maxAttempts,
                                      ProgressSink& progress)
{
    OutputResult result;
    std::vector<std::string> messages;
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
        result = generateAviFile(project, fileName, options, progress);
        messages.insert(messages.end(), result.messages.begin(), result.messages.end());
        if (!result.canRetry)
            break;
    }
    result.messages = std::move(messages);
    return result;
}

}  // namespace pelko
