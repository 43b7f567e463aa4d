#include "engine/output/checked_output.h"

#include <new>

#include "engine/base/output_file.h"
#include "engine/output/output_target.h"

namespace pelko {

OutputResult checkedOutputWrite(const std::string& path, const std::function<bool()>& write,
                                const std::string& memoryReason)
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
        if (memoryReason.empty())
            addFailure(result, OutputFailure::GifMemory, path);
        else
            addFailure(result, OutputFailure::Stated, path, path + ": " + memoryReason);
    } catch (const std::exception& e) {
        addFailure(result, OutputFailure::Stated, path, path + ": " + e.what());
    }
    return result;
}

}  // namespace pelko
