#include "engine/project/frame_info.h"

#include <filesystem>
#include <system_error>

namespace pelko {

const char* flipText(int flip)
{
    switch (flip) {
        case 1:
            return "Horizontal";
        case 2:
            return "Vertical";
        case 3:
            return "Horizontal+Vertical";
        default:
            return "Normal";
    }
}

FrameInfo frameInfo(const Project& project, int index)
{
    FrameInfo info;
    const FrameRecord& f = project.frames[std::size_t(index)];
    info.caption = "Info for " + std::to_string(index + 1) + " frame";
    const std::size_t slash = f.File.find_last_of('/');
    info.path = slash == std::string::npos ? std::string() : f.File.substr(0, slash + 1);
    info.name = slash == std::string::npos ? f.File : f.File.substr(slash + 1);
    info.frameInFile = std::to_string(f.Frame);
    std::error_code ec;
    info.fileFound = !f.File.empty() && std::filesystem::exists(f.File, ec);
    info.fileTest = info.fileFound ? kFileTestOk : kFileTestMissing;
    info.flip = flipText(f.Flip);
    info.inverse = f.Inverse ? "Yes" : "No";
    info.grey = f.Gray ? "Yes" : "No";
    return info;
}

}  // namespace pelko
