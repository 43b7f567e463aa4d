#include "cli/command.h"
#include "cli/info.h"

namespace pelko::cli {

int infoStill(const std::string& path) { return fail("pictures cannot be read yet: " + path); }

}  // namespace pelko::cli
