#pragma once
// The two halves of "pelko-cli info": GIF files and still pictures.

#include <string>

namespace pelko::cli {

int infoGif(const std::string& path);
int infoStill(const std::string& path);
int infoProject(const std::string& path);

}  // namespace pelko::cli
