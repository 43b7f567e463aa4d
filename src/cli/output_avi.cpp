#include "cli/output_options.h"

namespace pelko::cli {

int writeAviOutput(const Project&, const std::string& path, const OutputOptions&)
{
    return fail("AVI output is not available yet: " + path);
}

}  // namespace pelko::cli
