#pragma once
// Reading the pictures named on the command line with failures that say which
// file and what is wrong with it: "PATH: reason", the reason being the
// system's text for a file that cannot be read and the codec's own for one it
// refuses.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/image/picture.h"
#include "engine/project/image_sources.h"

namespace pelko::cli {

// The whole file; false with "PATH: reason" in error.
bool readBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);

// A still picture (.bmp, .jpg, .jpeg, .png, .ico, .ppm) decoded by its
// extension; nullopt with "PATH: reason" in error.
std::optional<Picture> readStillWithReason(const std::string& path, std::string& error);

// Why the GIF at path cannot be read: "PATH: reason".
std::string gifFailure(const std::string& path);

// The engine's source reader, whose failures are "PATH: reason".
class CliSourceReader : public SourceReader {
public:
    CliSourceReader();
    std::optional<Picture> readStill(const std::string& path, std::string& error) override;
    std::optional<GifSource> readGif(const std::string& path, std::string& error) override;
    // The file read last, for a failure met after reading it.
    const std::string& lastPath() const { return lastPath_; }

private:
    std::unique_ptr<SourceReader> files_;
    std::string lastPath_;
};

// Looks at the pictures before any is read: each must be a kind Add takes and
// a readable file. Prints "PATH: reason" for each that is not and returns
// false when there was one.
bool checkPictureArgs(const std::vector<std::string>& pictures);

// Whether path can take an output file (its folder exists and is writable,
// no folder of that name is in the way): false after printing "PATH: reason".
bool checkOutputPath(const std::string& path);

}  // namespace pelko::cli
