#pragma once
// Small picture files for tests that need real sources on disk.

#include <filesystem>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "engine/image/picture.h"
#include "engine/image/png_picture.h"
#include "engine/image/ppm.h"

namespace pelko::test {

// A folder of its own per test, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ =
            std::filesystem::temp_directory_path() / ("pelko_" + std::string(info->test_suite_name()) + "_" +
                                                      info->name() + "_" + std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A w x h picture whose pixel (x, y) is distinct, with an optional colour at
// the bottom-left corner.
inline Picture patternPicture(int w, int h, Color bottomLeft = 0x808080)
{
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y, rgb(std::uint8_t(x * 13), std::uint8_t(y * 29), std::uint8_t(x * y + 40)));
    p.setPixel(0, h - 1, bottomLeft);
    return p;
}

inline std::string writePng(const std::string& path, const Picture& picture)
{
    writeFile(path, encodePngPicture(picture));
    return path;
}

}  // namespace pelko::test
