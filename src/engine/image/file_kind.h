#pragma once
// File names: extension tests, compared without regard to case.

#include <string>
#include <string_view>

namespace pelko {

// Lower-case extension with its dot ("" when the name has none).
std::string fileExtension(std::string_view path);
// True when path ends in ext (with its dot), whatever the case.
bool hasExtension(std::string_view path, std::string_view ext);

}  // namespace pelko
