#pragma once
// Binary PPM (P6, maxval 255): the simplest lossless way to hand pictures to
// and from other tools.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/image/picture.h"

namespace pelko {

std::vector<std::uint8_t> encodePpm(const Picture& picture);
// Throws std::runtime_error "This file is not PPM." on malformed data.
Picture decodePpm(const std::uint8_t* data, std::size_t size);

// File helpers shared by the codecs: whole-file read and write. writeFile
// writes to a temporary file beside path and renames it over path, so a failed
// write never leaves a truncated file in place of a good one.
std::vector<std::uint8_t> readFile(const std::string& path);  // throws std::runtime_error
// Writes the whole file through a temporary that takes its place only when
// complete; throws OutputFileError ("PATH: reason").
void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace pelko
