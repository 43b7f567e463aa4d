#include "engine/base/free_name_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "engine/base/output_file.h"

namespace pelko {

namespace {

// Room kept for the number behind a shortened base.
constexpr std::size_t kNumberRoom = 10;

// The first bytes of text, no more than limit, not ending inside a UTF-8
// character.
std::string cutAtCharacter(const std::string& text, std::size_t limit)
{
    if (text.size() <= limit)
        return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

bool exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

constexpr int kMostNumbers = 1000000;

}  // namespace

std::string numberedFileName(const std::string& base, const std::string& extension, int number)
{
    const std::size_t room =
        kMaxFileNameBytes - kNumberRoom - std::min(extension.size(), kMaxFileNameBytes / 2);
    std::string name = cutAtCharacter(base, room);
    if (number > 0)
        name += std::to_string(number);
    return name + extension;
}

std::string writeUnderFreeName(const std::string& folder, const std::string& base,
                               const std::string& extension, std::span<const std::uint8_t> bytes)
{
    const std::string dir = folder.empty() || folder.back() == '/' ? folder : folder + '/';
    auto pathOf = [&](int number) { return dir + numberedFileName(base, extension, number); };
    // The unfinished file is started beside the first name that looks free
    // (a folder of that name would refuse it); the name is taken only below.
    int number = 0;
    while (number < kMostNumbers && exists(pathOf(number))) ++number;
    OutputFile file;
    if (!file.open(pathOf(number)) || !file.write(bytes))
        throw OutputFileError(file.error(), file.errorCode());
    if (::fsync(file.fd()) != 0 && errno != EINVAL)
        throw OutputFileError(systemErrorText(pathOf(number), errno), errno);
    for (; number < kMostNumbers; ++number) {
        const std::string path = pathOf(number);
        // linkat never replaces: a name taken meanwhile says EEXIST
        if (::linkat(AT_FDCWD, file.workPath().c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            file.discard();  // the temporary name (if any) goes, the file stays under path
            return path;
        }
        if (errno != EEXIST)
            throw OutputFileError(systemErrorText(path, errno), errno);
    }
    throw OutputFileError(systemErrorText(pathOf(0), EEXIST), EEXIST);
}

}  // namespace pelko
