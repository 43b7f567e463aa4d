#include "cli/command.h"
#include "cli/info.h"

namespace pelko::cli {

int infoGif(const std::string& path) { return fail("GIF files cannot be read yet: " + path); }

}  // namespace pelko::cli
