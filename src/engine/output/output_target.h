#pragma once
// The file the user chose for the output: its kind by extension, the name the
// output file dialog shows when the user switches the file type, and whether
// the file can be put where it is to go.

#include <cstdint>
#include <string>
#include <string_view>

namespace pelko {

enum class OutputKind { None, Avi, Gif, WebP, Apng, Mp4, WebM };

// By the extension, whatever the case: ".avi", ".gif", ".webp", ".apng",
// ".mp4", ".webm"; ".png" is an APNG only when the user chose "Animated
// PNG" (animatedPng). Anything else writes nothing.
OutputKind outputKindOf(std::string_view path, bool animatedPng = false);

// The extension of a kind, with its dot (".gif"); empty for None.
const char* outputExtension(OutputKind kind);

// The file name field after the user picked the AVI type (avi true) or the
// GIF type: an extension (a dot followed by characters after the last
// separator) is taken off, then ".avi" or ".gif" is put on.
// "clip.gif" -> "clip.avi"; "movie.mpeg" -> "movie.gif"; "clip" -> "clip.gif".
std::string nameForOutputType(std::string_view name, bool avi);

// The system's error number that keeps path from being replaced: a folder
// in the way, or a file the user made read-only. 0 when it can be.
int replaceProblem(const std::string& path);

// The system's error number that keeps a new file from being made in the
// folder of path. 0 when it can be.
int folderProblem(const std::string& path);

// "clip.gif (12.3 KB)": what the status bar shows of a file just written.
std::string writtenFileText(const std::string& name, std::uintmax_t bytes);

}  // namespace pelko
