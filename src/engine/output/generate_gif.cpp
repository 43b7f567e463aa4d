#include "engine/output/generate_gif.h"

#include <functional>
#include <new>

#include "engine/base/output_file.h"
#include "engine/output/output_target.h"
#include "engine/output/write_animated_gif.h"

namespace pelko {
namespace {

// Runs write (false: the user stopped it) once path is known to take the
// file, and words what it throws.
OutputResult writeGif(const std::string& path, const std::function<bool()>& write)
{
    OutputResult result;
    if (const int problem = replaceProblem(path)) {
        addFailure(result, OutputFailure::NameTaken, path, systemErrorText(path, problem));
        return result;
    }
    if (const int problem = folderProblem(path)) {
        addFailure(result, OutputFailure::CannotCreate, path, systemErrorText(path, problem));
        return result;
    }
    try {
        result.ok = write();
        if (!result.ok)
            markCancelled(result, path);
    } catch (const OutputFileError& e) {
        addFailure(result, OutputFailure::Stated, path, e.what());
    } catch (const std::bad_alloc&) {
        addFailure(result, OutputFailure::GifMemory, path);
    } catch (const std::exception& e) {
        addFailure(result, OutputFailure::Stated, path, path + ": " + e.what());
    }
    return result;
}

}  // namespace

OutputResult generateGifFile(const Project& project, const AnimatedGifOptions& options,
                             const std::string& path, ProgressSink& progress)
{
    return writeGif(path, [&] { return WriteAnimatedGif(project, options, path, progress); });
}

OutputResult saveGifFile(std::span<const std::uint8_t> bytes, const std::string& path)
{
    return writeGif(path, [&] {
        writeOutputFile(path, bytes);
        return true;
    });
}

}  // namespace pelko
