#pragma once
// The commands on the frame list: Add, Insert, Delete, Up, Down, Select All,
// Refresh, Frame options and Frame origin; the strip's clicks and keys and
// dragging the frame in the preview.

namespace pelko {

class TAVIForm;

void installEditCommands(TAVIForm& window);
void installFrameOptionsCommands(TAVIForm& window);

}  // namespace pelko
