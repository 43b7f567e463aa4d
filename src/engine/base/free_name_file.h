#pragma once
// Writing a generated file under a name that no file has yet: the base name
// is tried first, then the base name followed by 1, 2, 3, ... with the same
// extension. An existing file is never replaced, even by another process
// taking a name at the same moment: the complete file is linked under a name
// only when that name is free.

#include <cstdint>
#include <span>
#include <string>

namespace pelko {

// The longest file name (in bytes) the names below take; a longer base is
// shortened at a character boundary so that base, number and extension fit.
constexpr std::size_t kMaxFileNameBytes = 255;

// The name for number 0 (none), 1, 2, ...: base (shortened as above) +
// number + extension.
std::string numberedFileName(const std::string& base, const std::string& extension, int number);

// Writes bytes into folder under the first free numbered name and returns the
// file's full path. Throws OutputFileError ("PATH: reason") when the file
// cannot be written; nothing is left behind then.
std::string writeUnderFreeName(const std::string& folder, const std::string& base,
                               const std::string& extension, std::span<const std::uint8_t> bytes);

}  // namespace pelko
