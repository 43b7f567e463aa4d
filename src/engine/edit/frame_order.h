#pragma once
// The order of the frames: the scope reversed, and the yo-yo that plays the
// scope forward and then back. Frames keep their own times (all equal in an
// AVI project).

#include "engine/edit/edit_result.h"
#include "engine/project/project.h"

namespace pelko {

// The frames of the scope (edit_scope.h) in reverse order, in the places
// they take in the list; the selected frames stay selected.
EditToolResult reverseFrames(Project& project);

// After the last frame of the scope, copies of its frames from the one
// before the last back to the one after the first, so that a loop goes
// there and back without showing either turning frame twice. A scope of
// fewer than three frames adds nothing.
EditToolResult yoyoFrames(Project& project);

}  // namespace pelko
