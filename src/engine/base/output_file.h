#pragma once
// Writing an output file so that nobody ever sees it half written: the bytes
// go into an unnamed temporary file in the target's folder (O_TMPFILE), which
// is linked into place only when it is complete. A process killed while
// writing leaves nothing behind, and a failed write leaves the old file as it
// was.
//
// Where the file system refuses unnamed files, the temporary gets a name
// ".pelko-tmp-PID-N-NAME" in the target's folder. Such a name is removed by
// SIGINT and SIGTERM, and a later write into the same folder removes the ones
// whose process is gone (after SIGKILL or a crash). The environment variable
// PELKO_NAMED_TEMPORARIES=1 asks for named temporaries everywhere (tests use
// it to exercise that path on file systems that do have unnamed files).
//
// Failures are described as "PATH: reason" with the system's text
// ("Permission denied", "No space left on device", "Is a directory").

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace pelko {

// The failure of writeOutputFile: what() is "PATH: reason"; code() the
// system's error number (0 when there is none).
class OutputFileError : public std::runtime_error {
public:
    OutputFileError(const std::string& message, int code) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

class OutputFile {
public:
    OutputFile() = default;
    ~OutputFile();  // an uncommitted file is discarded
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Starts a file that is to take the place of path. False on failure,
    // with error() and errorCode() saying why.
    bool open(const std::string& path);
    bool isOpen() const { return fd_ >= 0; }
    // The descriptor of the unfinished file, open for reading and writing.
    int fd() const { return fd_; }
    // A name under which the unfinished file opens again, for libraries that
    // only take a name ("/proc/self/fd/N" for an unnamed file).
    const std::string& workPath() const { return workPath_; }
    const std::string& path() const { return path_; }

    // Appends n bytes at the descriptor's position. False on failure.
    bool write(const void* data, std::size_t n);
    bool write(std::span<const std::uint8_t> bytes) { return write(bytes.data(), bytes.size()); }
    // Puts the complete file in place of path (replacing an existing file in
    // one step). False on failure; the target is then as it was.
    bool commit();
    // Drops the unfinished file. Nothing is left behind.
    void discard();

    // "PATH: reason" of the last failure, and its error number.
    const std::string& error() const { return error_; }
    int errorCode() const { return errorCode_; }

private:
    bool fail(int code);
    bool linkInPlace();

    std::string path_;
    std::string workPath_;
    std::string namedTemp_;  // the fallback's name; empty for an unnamed file
    int fd_ = -1;
    int guardSlot_ = -1;
    std::string error_;
    int errorCode_ = 0;
};

// Writes bytes as the complete file at path. Throws OutputFileError.
void writeOutputFile(const std::string& path, std::span<const std::uint8_t> bytes);

// A scratch file beside path that never gets a name in the folder (or loses
// it at once): open for reading and writing, gone when closed or when the
// process ends. -1 with errno set on failure.
int openScratchFile(const std::string& besidePath);

// "PATH: " + the system's text of code.
std::string systemErrorText(const std::string& path, int code);

// The marker of temporary names ".pelko-tmp-"; shown for tests and tools.
extern const char* const kTemporaryNamePrefix;

}  // namespace pelko
