#pragma once
// Undo, Redo and the history panel: the window's undo history from the
// Edit menu, named by the step ("Undo Delete 3 frames"), and a panel that
// lists the steps and goes to one on a click.

class QListWidget;

namespace pelko {

class TAVIForm;

// Before the playback's commands, which hold Undo and Redo back while
// playing.
void installHistoryCommands(TAVIForm& window);
// The history panel's list (tests click it).
QListWidget* historyList(TAVIForm& window);

}  // namespace pelko
