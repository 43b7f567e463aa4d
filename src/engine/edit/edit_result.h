#pragma once
// What a whole-animation tool tells its caller, and the error it raises for
// values it cannot work with.

#include <stdexcept>
#include <string>
#include <vector>

namespace pelko {

struct EditToolResult {
    int removed = 0;  // frames taken out of the list
    int added = 0;    // frames put into it
    int changed = 0;  // frames kept whose fields changed
    // A remark for the user beside the result (an AVI's timing), or empty.
    std::string note;
    // Problems met (log lines); the frames concerned keep what they had.
    std::vector<std::string> problems;
    bool cancelled = false;
};

// A tool was given values it cannot work with (a range outside the list, a
// crop outside the canvas): nothing was changed. The text is the reason,
// without the file's name.
class EditError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

}  // namespace pelko
