#include "engine/output/output_target.h"

#include <cerrno>
#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/image/file_kind.h"

namespace pelko {

OutputKind outputKindOf(std::string_view path, bool animatedPng)
{
    static constexpr OutputKind kinds[] = {OutputKind::Avi,  OutputKind::Gif, OutputKind::WebP,
                                           OutputKind::Apng, OutputKind::Mp4, OutputKind::WebM};
    for (OutputKind kind : kinds)
        if (hasExtension(path, outputExtension(kind)))
            return kind;
    if (animatedPng && hasExtension(path, ".png"))
        return OutputKind::Apng;
    return OutputKind::None;
}

const char* outputExtension(OutputKind kind)
{
    switch (kind) {
        case OutputKind::Avi:
            return ".avi";
        case OutputKind::Gif:
            return ".gif";
        case OutputKind::WebP:
            return ".webp";
        case OutputKind::Apng:
            return ".apng";
        case OutputKind::Mp4:
            return ".mp4";
        case OutputKind::WebM:
            return ".webm";
        case OutputKind::None:
            break;
    }
    return "";
}

std::string nameForOutputType(std::string_view name, bool avi)
{
    const auto slash = name.find_last_of('/');
    const auto dot = name.find_last_of('.');
    const bool afterSlash = slash == std::string_view::npos || dot > slash;
    std::string base(name);
    if (dot != std::string_view::npos && afterSlash && dot + 1 < name.size())
        base.resize(dot);
    return base + (avi ? ".avi" : ".gif");
}

int replaceProblem(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return 0;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    return ::access(path.c_str(), W_OK) == 0 ? 0 : errno;
}

int folderProblem(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode))
        return ENOTDIR;
    return ::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
}

std::string writtenFileText(const std::string& name, std::uintmax_t bytes)
{
    char size[32];
    if (bytes < 1024)
        std::snprintf(size, sizeof size, "%ju bytes", bytes);
    else if (bytes < 1024 * 1024)
        std::snprintf(size, sizeof size, "%.1f KB", double(bytes) / 1024);
    else
        std::snprintf(size, sizeof size, "%.1f MB", double(bytes) / (1024 * 1024));
    return name + " (" + size + ")";
}

}  // namespace pelko
