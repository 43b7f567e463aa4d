#include "cli/picture_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <new>

#include "engine/base/output_file.h"
#include "engine/gif/gif_image.h"
#include "engine/image/bmp_reader.h"
#include "engine/image/file_kind.h"
#include "engine/image/ico_reader.h"
#include "engine/image/jpeg_codec.h"
#include "engine/image/picture_reader.h"
#include "engine/image/png_picture.h"
#include "engine/image/ppm.h"

namespace pelko::cli {

namespace {

// The codec's text, led by the kind when it does not say it itself.
std::string codecReason(const char* kind, const std::string& what)
{
    const std::string lead = std::string(kind) + ": ";
    return what.rfind(lead, 0) == 0 ? what : lead + what;
}

std::string outOfMemory(const std::string& path)
{
    return path + ": not enough memory to read the picture";
}

}  // namespace

bool readBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = systemErrorText(path, errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        error = systemErrorText(path, S_ISDIR(st.st_mode) ? EISDIR : errno);
        ::close(fd);
        return false;
    }
    bytes.clear();
    try {
        if (st.st_size > 0)
            bytes.reserve(std::size_t(st.st_size));
        std::uint8_t buf[1 << 16];
        for (;;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                error = systemErrorText(path, errno);
                ::close(fd);
                return false;
            }
            if (n == 0)
                break;
            bytes.insert(bytes.end(), buf, buf + n);
        }
    } catch (const std::bad_alloc&) {
        error = outOfMemory(path);
        ::close(fd);
        return false;
    }
    ::close(fd);
    return true;
}

std::optional<Picture> readStillWithReason(const std::string& path, std::string& error)
{
    const bool ppm = hasExtension(path, ".ppm");
    const StillKind kind = stillKindOf(path);
    if (!ppm && kind == StillKind::None) {
        error = path + ": not a picture Pelko reads (BMP, JPG, JPEG, PNG, ICO, GIF or PPM)";
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    if (!readBytes(path, bytes, error))
        return std::nullopt;
    // The name the codecs lead their texts with.
    const char* kindName = ppm ? "PPM" : kind == StillKind::Jpeg ? "JPEG" : stillKindName(kind);
    try {
        switch (ppm ? StillKind::None : kind) {
            case StillKind::Bmp:
                return decodeBmp(bytes.data(), bytes.size());
            case StillKind::Jpeg:
                return decodeJpeg(bytes.data(), bytes.size());
            case StillKind::Png:
                return decodePngPicture(bytes.data(), bytes.size());
            case StillKind::Ico:
                return decodeIco(bytes.data(), bytes.size());
            case StillKind::None:
                return decodePpm(bytes.data(), bytes.size());
        }
    } catch (const std::bad_alloc&) {
        error = outOfMemory(path);
        return std::nullopt;
    } catch (const std::exception& e) {
        error = path + ": " + codecReason(kindName, e.what());
        return std::nullopt;
    }
    return std::nullopt;
}

std::string gifFailure(const std::string& path)
{
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!readBytes(path, bytes, error))
        return error;
    try {
        TGIFImage image;
        TGIFDrawOptions options = image.GetDrawOptions();
        options.Exclude(goAnimate);
        image.SetDrawOptions(options);
        image.LoadFromBytes(bytes.data(), bytes.size());
    } catch (const std::bad_alloc&) {
        return outOfMemory(path);
    } catch (const std::exception& e) {
        return path + ": " + codecReason("GIF", e.what());
    }
    return path + ": This file is not GIF.";
}

// The engine's reader does the reading; the reason of a failure is asked of
// the codec again.
CliSourceReader::CliSourceReader() : files_(makeFileSourceReader()) {}

std::optional<Picture> CliSourceReader::readStill(const std::string& path, std::string& error)
{
    lastPath_ = path;
    std::optional<Picture> picture = files_->readStill(path, error);
    if (!picture) {
        std::string reason;
        readStillWithReason(path, reason);
        error = reason.empty() ? path + ": " + error.substr(0, error.find('\n')) : reason;
    }
    return picture;
}

std::optional<GifSource> CliSourceReader::readGif(const std::string& path, std::string& error)
{
    lastPath_ = path;
    std::optional<GifSource> gif = files_->readGif(path, error);
    if (!gif)
        error = gifFailure(path);
    return gif;
}

bool checkPictureArgs(const std::vector<std::string>& pictures)
{
    bool ok = true;
    for (const std::string& p : pictures) {
        std::string error;
        struct stat st {};
        if (!isSourceExtension(p))
            error = p + ": not a picture Pelko adds (BMP, JPG, JPEG, PNG, ICO or GIF)";
        else if (::stat(p.c_str(), &st) != 0)
            error = systemErrorText(p, errno);
        else if (S_ISDIR(st.st_mode))
            error = systemErrorText(p, EISDIR);
        else if (::access(p.c_str(), R_OK) != 0)
            error = systemErrorText(p, errno);
        if (!error.empty()) {
            std::cerr << "pelko-cli: " << error << '\n';
            ok = false;
        }
    }
    return ok;
}

bool checkOutputPath(const std::string& path)
{
    // Starting the output file and dropping it again tells what writing it
    // at the end would meet, and leaves nothing behind.
    OutputFile probe;
    if (probe.open(path))
        return true;
    std::cerr << "pelko-cli: " << probe.error() << '\n';
    return false;
}

}  // namespace pelko::cli
