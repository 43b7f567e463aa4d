#include "engine/rules/strip_keys.h"

#include <algorithm>

namespace pelko {

int selectByKey(Project& project, StripKey key)
{
    const int n = project.frames.count();
    if (n == 0)
        return -1;
    const int anchor = project.selection.first();
    int target = 0;
    switch (key) {
        case StripKey::First:
            target = 0;
            break;
        case StripKey::Last:
            target = n - 1;
            break;
        case StripKey::Previous:
            target = anchor < 0 ? n - 1 : anchor - 1;
            break;
        case StripKey::Next:
            target = anchor < 0 ? 0 : anchor + 1;
            break;
    }
    target = std::clamp(target, 0, n - 1);
    project.selection.selectOnly(target);
    return target;
}

}  // namespace pelko
