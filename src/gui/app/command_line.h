#pragma once
// Pelko's command line: --help and --version, answered before any window
// exists (so they need no display), and the files the window starts with.

#include <QStringList>
#include <optional>

#include "gui/app/main_window.h"

namespace pelko {

// The text of "pelko --help".
const char* commandLineHelp();

// When the only argument asks for the help or the version, prints it on
// standard output and returns the exit code; otherwise nothing.
std::optional<int> answerInfoArgument(int argc, char** argv);

// Puts the arguments after the program's name into options: a project to
// open, or pictures (by full path) to start a new project with.
void takeStartFiles(const QStringList& arguments, StartOptions& options);

}  // namespace pelko
