#pragma once
// Frame info: where the first selected frame comes from and which effects it
// carries, as the texts of the frame info dialog.

#include <string>

#include "engine/project/project.h"

namespace pelko {

struct FrameInfo {
    std::string caption;      // "Info for 3 frame"
    std::string path;         // folder with its trailing separator
    std::string name;         // file name
    std::string frameInFile;  // Frame as stored, counted from 0
    bool fileFound = false;
    std::string fileTest;  // "File test: OK" or the yellow warning
    std::string flip;      // "Normal", "Horizontal", "Vertical", "Horizontal+Vertical"
    std::string inverse;   // "Yes" / "No"
    std::string grey;
};

inline constexpr const char* kFileTestOk = "File test: OK";
inline constexpr const char* kFileTestMissing = "Not found such file. Apparently it was deleted or removed.";

// A Flip outside 0..3 (only from a hand-edited file) shows as "Normal".
const char* flipText(int flip);

FrameInfo frameInfo(const Project& project, int index);

}  // namespace pelko
