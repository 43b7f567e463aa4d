#include "engine/output/generate_avi.h"

#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "engine/avi/avi_writer.h"
#include "engine/project/composition.h"

namespace pelko {
namespace {

bool canReplace(const std::string& fileName)
{
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec))
        return true;
    return ::access(fileName.c_str(), W_OK) == 0 && !std::filesystem::is_directory(fileName, ec);
}

}  // namespace

AviResult GenerateAvi(const Project& project, const std::string& fileName, const AviGenerateOptions& options,
                      std::vector<std::string>& messages, ProgressSink& progress)
{
    // The old file stays until the new one is complete; one that cannot be
    // replaced asks for another name.
    if (!canReplace(fileName)) {
        messages.push_back("Select another name for saving file.");
        return AVIERR_ERROR;
    }
    const ProjectSettings& s = project.settings;
    const std::string& wav = options.soundFile.empty() ? s.Wav_File : options.soundFile;
    const bool withSound = s.Sound || !options.soundFile.empty();
    // Knowing the sound's format up front lets the writer put the sound
    // straight into the file instead of copying the video at the end.
    WaveFormat format{};
    const bool formatKnown = withSound && ReadWavFormat(wav, format);
    AviWriterPtr writer = OpenAviWriter(fileName, s.AviFrameTime, formatKnown ? &format : nullptr);
    if (!writer) {
        messages.push_back("It is impossible to create file " + fileName);
        return AVIERR_ERROR;
    }
    const int n = project.frames.count();
    for (int i = 0; i < n; ++i) {
        Picture canvas;
        try {
            canvas = Picture(s.Width, s.Height);
        } catch (const std::exception&) {
            messages.push_back("It is impossible to get the Bitmap.");
            return AVIERR_ERROR;  // the writer is discarded and leaves no file
        }
        drawFrameOnCanvas(canvas, project.frames[std::size_t(i)]);
        if (i == 0 && (options.showCodecWindow || !options.compress.fourcc.empty())) {
            const AviResult chosen = ChooseVideoCodec(writer.get(), &canvas, &options.compress,
                                                      options.showCodecWindow, options.chooser);
            if (chosen != AVIERR_OK) {
                messages.push_back(AviResultText(chosen));
                return chosen;
            }
        }
        const AviResult written = WriteVideoFrame(writer.get(), &canvas);
        if (written != AVIERR_OK) {
            messages.push_back(AviResultText(written));
            return written;
        }
        progress.progress((i + 1) * 95 / n);
        if (progress.cancelled())
            return AVIERR_USERABORT;
    }
    if (withSound) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(wav, ec)) {
            const AviResult sound = WriteWavSound(writer.get(), wav);
            if (sound != AVIERR_OK)
                messages.push_back(AviResultText(sound));  // the AVI stays valid without its sound
        } else {
            messages.push_back("Not found the following sound file: " + wav);
        }
    }
    const AviResult closed = CloseAviWriter(std::move(writer));
    progress.progress(100);
    if (closed != AVIERR_OK)
        messages.push_back(AviResultText(closed));
    return closed;
}

AviResult GenerateAviWithRetry(const Project& project, const std::string& fileName,
                               const AviGenerateOptions& options, std::vector<std::string>& messages,
                               int maxAttempts, ProgressSink& progress)
{
    AviResult result = AVIERR_ERROR;
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
        result = GenerateAvi(project, fileName, options, messages, progress);
        if (result == AVIERR_OK || result == AVIERR_USERABORT || result == AVIERR_ERROR)
            break;
    }
    return result;
}

}  // namespace pelko
