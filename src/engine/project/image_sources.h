#pragma once
// Image sources: reading the files that frames name, and making new frames
// from a file (one per still picture, one per non-empty GIF sub-image).

#include <string>
#include <vector>

#include "engine/project/composition.h"
#include "engine/project/project.h"
#include "engine/project/source_reader.h"

namespace pelko {

// Errors met while adding files: the texts the window shows in message boxes
// with caption "Error".
struct AddResult {
    int added = 0;
    bool canvasChanged = false;  // FixAtFirstFrame gave the canvas its size
    std::vector<std::string> errors;
};

// Makes the frames of the file at path and inserts them before index at
// (at == frame count appends), in order. Honours and clears FixAtFirstFrame.
// The file is read once, through the project's frame cache, which keeps what
// was read for the frames' pictures; no frame image or thumbnail is made.
AddResult addSourceFile(Project& project, const std::string& path, std::size_t at, SourceReader& reader);

// True for the extensions that Add, Insert and dropping accept.
bool isSourceExtension(const std::string& path);

}  // namespace pelko
