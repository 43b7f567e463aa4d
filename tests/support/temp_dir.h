#pragma once
// A fresh, empty folder under the system's temporary folder for one test,
// removed with everything in it when the object goes. Every instance gets a
// folder of its own (mkdtemp), so tests may hold several at once and the same
// test may run in several build folders side by side.

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include <stdlib.h>

namespace pelko::test {

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pelko-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a temporary folder " + pattern + ": " +
                                     std::strerror(errno));
        path_ = pattern;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A name inside the folder, as a path and as text.
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // The names of what the folder holds, in no particular order.
    std::vector<std::string> names() const
    {
        std::vector<std::string> n;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            n.push_back(e.path().filename().string());
        return n;
    }

private:
    std::filesystem::path path_;
};

}  // namespace pelko::test
