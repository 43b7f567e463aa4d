#pragma once
// Clone frame: every selected frame duplicated in place.

#include "engine/project/project.h"

namespace pelko {

// Each selected frame gets a copy of its fields right before it, working
// from the highest index down; the copy shares the original's frame image and
// thumbnail in the frame cache, so nothing is read or rendered. Afterwards
// the single selected frame is the copied frame of the lowest copy (lowest
// index + 1).
// Marks the project changed. Returns false when nothing was selected.
bool cloneSelected(Project& project);

}  // namespace pelko
