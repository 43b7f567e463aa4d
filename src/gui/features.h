#pragma once
// The program's window: every feature folder's commands installed on the
// main window, with the real dialogs.

#include "gui/app/main_window.h"

namespace pelko {

// Registers every feature's commands and state on the window.
void installFeatures(TAVIForm& window);

// options with the real dialogs (unless it has some) and every feature.
StartOptions withFeatures(StartOptions options);

}  // namespace pelko
