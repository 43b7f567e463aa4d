#include "engine/output/generate_gif.h"

#include "engine/base/output_file.h"
#include "engine/output/checked_output.h"
#include "engine/output/write_animated_gif.h"

namespace pelko {

OutputResult generateGifFile(const Project& project, const AnimatedGifOptions& options,
                             const std::string& path, ProgressSink& progress)
{
    return checkedOutputWrite(path, [&] { return WriteAnimatedGif(project, options, path, progress); });
}

OutputResult saveGifFile(std::span<const std::uint8_t> bytes, const std::string& path)
{
    return checkedOutputWrite(path, [&] {
        writeOutputFile(path, bytes);
        return true;
    });
}

}  // namespace pelko
