#include "cli/convert_gif.h"

namespace pelko::cli {

int convertToGif(const Picture&, const std::string& outPath, Args&)
{
    return fail("GIF output is not available yet: " + outPath);
}

}  // namespace pelko::cli
