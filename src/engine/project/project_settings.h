#pragma once
// ProjectSettings: the stored settings of the open project.

#include <cstdint>
#include <string>

namespace pelko {

enum ProjectType : std::int32_t { ProjectAvi = 0, ProjectGif = 1 };

struct ProjectSettings {
    std::int32_t Width = 100;
    std::int32_t Height = 100;
    bool Stretch = false;
    std::int32_t Type = ProjectAvi;
    std::int32_t AviFrameTime = 1000;  // stored under Time in AVI projects
    std::uint16_t GifFrameTime = 500;  // stored under Time in GIF projects
    bool Sound = false;
    std::string Wav_File;
    bool Crop = false;
    bool Merge = false;
    bool Optimize = false;
    bool Interlaced = false;
    // The animated GIF's smaller-file mode; stored only when used.
    std::int32_t Lossy = 0;  // lossy LZW strength, 0..100
    bool BestPalette = false;
    bool FixAtFirstFrame = false;  // not stored: canvas size comes from the first frame

    bool isGif() const { return Type == ProjectGif; }
    friend bool operator==(const ProjectSettings&, const ProjectSettings&) = default;
};

// Width and height offered for a new project; 100 x 100 unless the settings
// store says otherwise.
struct DefaultFrameSize {
    std::int32_t width = 100;
    std::int32_t height = 100;
};

}  // namespace pelko
