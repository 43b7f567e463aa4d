#include "engine/base/output_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <system_error>

namespace pelko {

const char* const kTemporaryNamePrefix = ".pelko-tmp-";

namespace {

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool namedTemporariesOnly()
{
    const char* v = std::getenv("PELKO_NAMED_TEMPORARIES");
    return v && *v && std::strcmp(v, "0") != 0;
}

// Errors of O_TMPFILE that mean "not here", not "not allowed".
bool unnamedUnsupported(int code)
{
    return code == EOPNOTSUPP || code == EISDIR || code == EINVAL;
}

// ".pelko-tmp-PID-N-NAME" beside path; the name is cut so the whole stays
// well inside the file system's limit.
std::string temporaryNameBeside(const std::string& path)
{
    static std::atomic<unsigned> counter{0};
    std::string dir = folderOf(path);
    if (dir.back() != '/')
        dir += '/';
    return dir + kTemporaryNamePrefix + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           nameOf(path).substr(0, 100);
}

// Named temporaries alive in this process, removed by SIGINT and SIGTERM. The
// handler only reads fixed storage: a slot is claimed (1), filled, then shown
// to the handler (2), and given back (0) once its name is gone.
constexpr int kGuardSlots = 32;
struct GuardSlot {
    std::atomic<int> state{0};
    char path[4096];
};
GuardSlot guardSlots[kGuardSlots];
struct sigaction previousInt, previousTerm;

extern "C" void removeTemporariesOnSignal(int sig, siginfo_t* info, void* context)
{
    const int saved = errno;
    for (GuardSlot& s : guardSlots)
        if (s.state.load() == 2)
            ::unlink(s.path);
    errno = saved;
    const struct sigaction& previous = sig == SIGINT ? previousInt : previousTerm;
    if (previous.sa_flags & SA_SIGINFO) {
        previous.sa_sigaction(sig, info, context);
    } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
        previous.sa_handler(sig);
    } else {
        // What would have happened without us: the process ends by the signal.
        ::sigaction(sig, &previous, nullptr);
        ::raise(sig);
    }
}

void installSignalCleanup()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction act {};
        act.sa_sigaction = removeTemporariesOnSignal;
        act.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&act.sa_mask);
        for (int sig : {SIGINT, SIGTERM}) {
            struct sigaction& previous = sig == SIGINT ? previousInt : previousTerm;
            if (::sigaction(sig, nullptr, &previous) != 0)
                continue;
            // A signal the process ignores stays ignored.
            if (!(previous.sa_flags & SA_SIGINFO) && previous.sa_handler == SIG_IGN)
                continue;
            ::sigaction(sig, &act, nullptr);
        }
    });
}

int guardName(const std::string& path)
{
    installSignalCleanup();
    if (path.size() >= sizeof guardSlots[0].path)
        return -1;
    for (int i = 0; i < kGuardSlots; ++i) {
        int expected = 0;
        if (guardSlots[i].state.compare_exchange_strong(expected, 1)) {
            std::memcpy(guardSlots[i].path, path.c_str(), path.size() + 1);
            guardSlots[i].state.store(2);
            return i;
        }
    }
    return -1;  // more at once than slots: left to the next write's clean-up
}

void unguardName(int slot)
{
    if (slot >= 0)
        guardSlots[slot].state.store(0);
}

// Removes the named temporaries in dir whose process no longer runs. Each
// folder is looked at once per process: a run that writes a thousand files
// into one folder reads it once.
void removeStaleTemporaries(const std::string& dir)
{
    static std::mutex mutex;
    static std::set<std::string> seen;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!seen.insert(dir).second)
            return;
    }
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return;
    const std::size_t prefixLength = std::strlen(kTemporaryNamePrefix);
    while (const dirent* e = ::readdir(d)) {
        const char* name = e->d_name;
        if (std::strncmp(name, kTemporaryNamePrefix, prefixLength) != 0)
            continue;
        char* end = nullptr;
        const long pid = std::strtol(name + prefixLength, &end, 10);
        if (end == name + prefixLength || *end != '-' || pid <= 0 || pid == ::getpid())
            continue;
        // Only a process that certainly is gone: EPERM means it runs.
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        ::unlinkat(::dirfd(d), name, 0);
    }
    ::closedir(d);
}

// Links an unnamed file under name. The descriptor route needs a capability
// that ordinary users lack; the /proc route works for them.
int linkUnnamed(int fd, const std::string& name)
{
    if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0)
        return 0;
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    return errno;
}

}  // namespace

std::string systemErrorText(const std::string& path, int code)
{
    return path + ": " + std::error_code(code, std::generic_category()).message();
}

OutputFile::~OutputFile()
{
    discard();
}

bool OutputFile::fail(int code)
{
    errorCode_ = code;
    error_ = systemErrorText(path_, code);
    return false;
}

bool OutputFile::open(const std::string& path)
{
    discard();
    error_.clear();
    errorCode_ = 0;
    path_ = path;
    if (path.empty())
        return fail(ENOENT);
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return fail(EISDIR);
    const std::string dir = folderOf(path);
    removeStaleTemporaries(dir);

    if (!namedTemporariesOnly()) {
        fd_ = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            // Without /proc the file could neither be opened again by name nor
            // linked by an ordinary user: then it gets a name after all.
            workPath_ = "/proc/self/fd/" + std::to_string(fd_);
            struct stat a {
            }, b{};
            if (::fstat(fd_, &a) == 0 && ::stat(workPath_.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
                a.st_ino == b.st_ino)
                return true;
            ::close(fd_);
            fd_ = -1;
            workPath_.clear();
        } else if (!unnamedUnsupported(errno)) {
            return fail(errno);
        }
    }

    namedTemp_ = temporaryNameBeside(path);
    guardSlot_ = guardName(namedTemp_);
    fd_ = ::open(namedTemp_.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0666);
    if (fd_ < 0) {
        const int code = errno;
        namedTemp_.clear();
        unguardName(guardSlot_);
        guardSlot_ = -1;
        return fail(code);
    }
    workPath_ = namedTemp_;
    return true;
}

bool OutputFile::write(const void* data, std::size_t n)
{
    if (fd_ < 0)
        return fail(EBADF);
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t w = ::write(fd_, p, n);
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        p += w;
        n -= std::size_t(w);
    }
    return true;
}

bool OutputFile::linkInPlace()
{
    int code = linkUnnamed(fd_, path_);
    if (code == 0)
        return true;
    if (code != EEXIST)
        return fail(code);
    // An existing file is replaced in one step: the new one gets a name of
    // its own beside it and is renamed over it.
    const std::string temp = temporaryNameBeside(path_);
    const int slot = guardName(temp);
    code = linkUnnamed(fd_, temp);
    if (code == 0 && ::rename(temp.c_str(), path_.c_str()) != 0) {
        code = errno;
        ::unlink(temp.c_str());
    }
    unguardName(slot);
    return code == 0 || fail(code);
}

bool OutputFile::commit()
{
    if (fd_ < 0)
        return fail(EBADF);
    // The bytes reach the disk before the name does: a crash right after the
    // rename must not leave an empty file in place of a good one.
    if (::fsync(fd_) != 0 && errno != EINVAL) {
        const int code = errno;
        discard();
        return fail(code);
    }
    bool ok;
    if (namedTemp_.empty()) {
        ok = linkInPlace();
    } else if (::close(fd_) != 0) {
        fd_ = -1;
        ok = fail(errno);
    } else {
        fd_ = -1;
        ok = ::rename(namedTemp_.c_str(), path_.c_str()) == 0 || fail(errno);
        if (ok)
            namedTemp_.clear();
    }
    discard();
    return ok;
}

void OutputFile::discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!namedTemp_.empty()) {
        ::unlink(namedTemp_.c_str());
        namedTemp_.clear();
    }
    unguardName(guardSlot_);
    guardSlot_ = -1;
    workPath_.clear();
}

void writeOutputFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    OutputFile file;
    if (!file.open(path) || !file.write(bytes) || !file.commit())
        throw OutputFileError(file.error(), file.errorCode());
}

int openScratchFile(const std::string& besidePath)
{
    const std::string dir = folderOf(besidePath);
    if (!namedTemporariesOnly()) {
        const int fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd >= 0 || !unnamedUnsupported(errno))
            return fd;
    }
    const std::string name = temporaryNameBeside(besidePath);
    const int slot = guardName(name);
    const int fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
    const int code = errno;
    if (fd >= 0)
        ::unlink(name.c_str());
    unguardName(slot);
    errno = code;
    return fd;
}

}  // namespace pelko
