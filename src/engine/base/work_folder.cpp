#include "engine/base/work_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace pelko {

std::string programFolder()
{
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0 || std::size_t(n) >= buffer.size() - 1)
        return {};
    std::string path(buffer.data(), std::size_t(n));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string userDataHome()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/share";
    return {};
}

namespace {

bool writableFolder(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

// Makes path and every missing folder above it; true when it ends up a
// folder that can be written.
bool makeFolders(const std::string& path)
{
    if (writableFolder(path))
        return true;
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        if (::mkdir(path.substr(0, slash).c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    ::mkdir(path.c_str(), 0777);
    return writableFolder(path);
}

std::string withSeparator(const std::string& folder)
{
    return folder.empty() || folder.back() == '/' ? folder : folder + '/';
}

}  // namespace

std::string prepareWorkFolder(const std::string& programFolder, const std::string& dataHome,
                              const std::string& failurePrefix)
{
    const std::string beside = withSeparator(programFolder);
    if (!beside.empty()) {
        const std::string work = beside + "Work";
        // only the program's own folder: nothing above it is made
        if (writableFolder(work) || (::mkdir(work.c_str(), 0777) == 0 && writableFolder(work)))
            return work;
    }
    if (!dataHome.empty() && dataHome[0] == '/') {
        const std::string work = withSeparator(dataHome) + "Pelko/Work";
        if (makeFolders(work))
            return work;
    }
    throw WorkFolderError(failurePrefix + beside + " Work directory.");
}

}  // namespace pelko
