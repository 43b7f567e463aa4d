#pragma once
// Running the write of an output file once its path is known to take it, with
// every failure worded as the window and pelko-cli show it.

#include <functional>
#include <string>

#include "engine/output/output_result.h"

namespace pelko {

// Fails before write runs when path cannot be replaced (a folder, a
// read-only file) or its folder takes no new file; then runs write (false:
// the user stopped it) and words what it throws. Running out of memory is
// GifMemory's text, or "PATH: " + memoryReason when one is given.
OutputResult checkedOutputWrite(const std::string& path, const std::function<bool()>& write,
                                const std::string& memoryReason = {});

}  // namespace pelko
