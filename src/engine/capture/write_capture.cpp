#include "engine/capture/write_capture.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>

#include "engine/avi/avi_writer.h"
#include "engine/base/free_name_file.h"
#include "engine/base/output_file.h"
#include "engine/effects/generated_frames.h"
#include "engine/gif/gif_extensions.h"
#include "engine/gif/gif_settings.h"

namespace pelko {

namespace {

std::string withReason(const std::string& text, const std::string& reason)
{
    return reason.empty() ? text : text + "\n" + reason;
}

void writeAll(OutputFile& file, const std::vector<std::uint8_t>& bytes)
{
    if (!file.write(bytes.data(), bytes.size()))
        throw OutputFileError(file.error(), file.errorCode());
}

void setCaptureColours(TGIFImage& image)
{
    image.SetDitherMode(dmNearest);
    image.SetColorReduction(rmQuantize);
    image.SetReductionBits(8);
    image.SetCompression(gcLZW);
}

}  // namespace

AviResult writeCaptureAvi(const CapturedPictures& pictures, const std::string& path, int durationMs,
                          const CompressOptions* compress, CaptureAviReport& report, ProgressSink& progress)
{
    const auto failed = [&](AviResult code, const std::string& text, const std::string& reason) {
        report.messages.push_back(withReason(text, reason));
        return code;
    };
    std::string error;
    AviWriterPtr writer = OpenAviWriter(path, durationMs, nullptr, &error);
    if (!writer)
        return failed(AVIERR_ERROR, "It is impossible to create file " + path, error);
    const int n = pictures.count();
    bool any = false;
    for (int i = 0; i < n; ++i) {
        // A recording's picture fills the frame periods up to the next one:
        // a missed grab shows the picture before it for longer. (One shorter
        // than half a period is left out, except the first.)
        std::int64_t repeat = 1;
        if (pictures.timed())
            repeat = pictures.durationMs(i, durationMs, durationMs) / std::max(1, durationMs);
        if (repeat <= 0 && any)
            continue;
        Picture picture;
        try {
            picture = pictures.at(i);
        } catch (const std::exception& e) {
            return failed(AVIERR_ERROR, "It is impossible to get the Bitmap.", e.what());
        }
        if (i == 0 && compress && !compress->fourcc.empty()) {
            const AviResult chosen = ChooseVideoCodec(writer.get(), &picture, compress, false, nullptr);
            if (chosen != AVIERR_OK)
                return failed(chosen, AviResultText(chosen), AviWriterError(writer.get()));
        }
        for (std::int64_t k = 0; k < std::max<std::int64_t>(repeat, 1); ++k) {
            const AviResult written = WriteVideoFrame(writer.get(), &picture);
            if (written != AVIERR_OK)
                return failed(written, AviResultText(written), AviWriterError(writer.get()));
        }
        any = true;
        progress.frames(i + 1, n);
        progress.progress((i + 1) * 95 / n);
        if (progress.cancelled())
            return AVIERR_USERABORT;
    }
    const AviResult closed = CloseAviWriter(std::move(writer), &error);
    progress.progress(100);
    if (closed != AVIERR_OK)
        return failed(closed, AviResultText(closed), error);
    return AVIERR_OK;
}

bool writeCaptureGif(const CapturedPictures& pictures, const std::string& path, int durationMs,
                     ProgressSink& progress)
{
    OutputFile file;
    if (!file.open(path))
        throw OutputFileError(file.error(), file.errorCode());
    // The header names the largest colour depth: it is filled in at the end
    // (without a global map it has a fixed size).
    static constexpr std::size_t kHeaderSize = 13;
    writeAll(file, std::vector<std::uint8_t>(kHeaderSize, 0));
    TGIFImage header;
    setCaptureColours(header);
    header.SetWidth(pictures.width());
    header.SetHeight(pictures.height());
    const int n = pictures.count();
    for (int i = 0; i < n; ++i) {
        // Each frame is made in an image of its own, so that only its pixels
        // are held; the header image keeps the frame without them.
        TGIFImage single;
        setCaptureColours(single);
        // a recording's delays follow its time line in hundredths (at least
        // two: viewers show shorter ones as a tenth of a second)
        const std::int64_t delayMs =
            std::clamp<std::int64_t>(pictures.durationMs(i, durationMs, 10), 20, 655350);
        addGeneratedFrame(single, pictures.at(i), 0, int(delayMs));
        TGIFSubImage& frame = *single.Images().GetImage(0);
        if (i > 0)  // the loop extension belongs to the file's first frame only
            for (int k = frame.Extensions().GetCount() - 1; k >= 0; --k)
                if (dynamic_cast<TGIFAppExtNSLoop*>(frame.Extensions().GetItem(k)))
                    frame.Extensions().Delete(k);
        GifOutput out;
        frame.SaveToStream(out);
        writeAll(file, out.bytes());
        auto copy = std::make_unique<TGIFSubImage>(&header);
        copy->Assign(&frame);
        std::vector<std::uint8_t>().swap(copy->Data());
        header.Add(std::move(copy));
        progress.frames(i + 1, n);
        progress.progress((i + 1) * 99 / n);
        if (progress.cancelled())
            return false;
    }
    writeAll(file, {0x3B});
    GifOutput head;
    header.SaveHeaderToStream(head);
    if (head.size() != kHeaderSize)
        throw std::logic_error("a header with a global map in a streamed capture");
    if (::pwrite(file.fd(), head.bytes().data(), kHeaderSize, 0) != ssize_t(kHeaderSize)) {
        const int code = errno;
        throw OutputFileError(systemErrorText(file.path(), code), code);
    }
    if (!file.commit())
        throw OutputFileError(file.error(), file.errorCode());
    progress.progress(100);
    return true;
}

void storeCaptureGifDefaults()
{
    GIFImageDefaultDitherMode = dmNearest;
    GIFImageDefaultColorReduction = rmQuantize;
    GIFImageDefaultColorReductionBits = 8;
    GIFImageDefaultCompression = gcLZW;
}

const char* captureExtension(CaptureFormat format)
{
    return format == CaptureFormat::Avi ? ".avi" : ".gif";
}

std::string captureStagingPath(const std::string& folder, CaptureFormat format)
{
    static std::atomic<int> counter{0};
    const std::string dir = folder.empty() || folder.back() == '/' ? folder : folder + '/';
    return dir + kTemporaryNamePrefix + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
           "-capture" + captureExtension(format);
}

std::string claimFreeName(const std::string& stagedPath, const std::string& folder, const std::string& base,
                          const std::string& extension)
{
    const std::string dir = folder.empty() || folder.back() == '/' ? folder : folder + '/';
    constexpr int kMostNumbers = 1000000;
    for (int number = 0; number < kMostNumbers; ++number) {
        const std::string path = dir + numberedFileName(base, extension, number);
        // linkat never replaces: a name taken says EEXIST
        if (::linkat(AT_FDCWD, stagedPath.c_str(), AT_FDCWD, path.c_str(), 0) == 0) {
            ::unlink(stagedPath.c_str());
            return path;
        }
        if (errno != EEXIST) {
            const int code = errno;
            ::unlink(stagedPath.c_str());
            throw OutputFileError(systemErrorText(path, code), code);
        }
    }
    ::unlink(stagedPath.c_str());
    throw OutputFileError(systemErrorText(dir + base + extension, EEXIST), EEXIST);
}

}  // namespace pelko
