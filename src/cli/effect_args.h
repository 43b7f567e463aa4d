#pragma once
// What "blend" and "text" share: the project opened with frame N as the
// anchor, colours and numbers from the command line, and the project saved
// with the new frames.

#include <string>

#include "cli/command.h"
#include "engine/effects/generated_frames.h"
#include "engine/image/picture.h"
#include "engine/project/project.h"
#include "engine/project/source_reader.h"

namespace pelko::cli {

// "RRGGBB" (hex, as in web colours) as a colour.
bool parseColor(const std::string& text, Color& color);
// A whole number lo..hi.
bool parseNumber(const std::string& text, int lo, int hi, int& value);

// Opens the project at path as generate does (every frame must be read, so
// that saving it again loses nothing) and selects frame number frameArg
// (from 1). Returns kExitOk, or an exit code after printing why.
int openAtFrame(Project& project, const std::string& path, const std::string& frameArg, SourceReader& reader,
                const char* command);

// The work folder, or "" after printing why there is none.
std::string workFolderOrFail(const char* failurePrefix);

// Saves the project with the frames the command made and prints the GIF's
// path on stdout. Returns an exit code.
int saveWithNewFrames(Project& project, const GeneratedFrames& made);

}  // namespace pelko::cli
