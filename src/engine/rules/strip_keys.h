#pragma once
// Moving the selection through the frame strip with the keyboard.

#include "engine/project/project.h"

namespace pelko {

enum class StripKey { Previous, Next, First, Last };

// Makes one frame the only selected one: the one before or after the first
// selected frame (from nothing selected: the first or the last frame), or the
// first or last frame of the list. Returns the frame the preview shows
// afterwards, -1 for an empty list.
int selectByKey(Project& project, StripKey key);

}  // namespace pelko
