#pragma once
// How writing an output file ended (the animated GIF, the AVI, a saved
// frame), with the texts that tell a failure: the window's message boxes and
// the one line the terminal shows. Every failure of those calls is worded
// here, so the window and pelko-cli say the same.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/avi/avi_result.h"
#include "engine/output/budget_report.h"

namespace pelko {

struct OutputResult {
    bool ok = false;         // the file is complete at its place
    bool cancelled = false;  // the user stopped the work; no file is written
    // The window's message boxes, in order: what was left out on the way (a
    // sound the AVI could not take), then the failure: the program's fixed
    // text where it has one, and "FILE: reason" on a line of its own.
    std::vector<std::string> messages;
    // The failure in one line, "FILE: reason"; "FILE: cancelled" when
    // cancelled; empty when ok.
    std::string failure;
    // "FILE.wav: reason" when the AVI was written without the sound asked
    // for (the output is still ok).
    std::string soundDropped;
    // The AVI's codec or writer failed: the same work may go through when
    // started over (the window lets the user choose the codec again).
    bool canRetry = false;
    // Set when the file was fitted under a size budget.
    std::optional<BudgetReport> budget;
};

// The failures of the output calls, each with the window's wording.
enum class OutputFailure {
    NameTaken,     // "Select another name for saving file.": a folder or a read-only file is in the way
    CannotCreate,  // "It is impossible to create file PATH": no file can be made where it is to go
    NoBitmap,      // "It is impossible to get the Bitmap.": an AVI frame could not be made
    GifMemory,     // "PATH: not enough memory to build the animated GIF"
    FrameMemory,   // "PATH: not enough memory to save the frame"
    Stated,        // no fixed text: the reason says it all
    // "PATH: does not fit in 1.00 MB: the smallest file reached is 1.32 MB
    // (quality 0); nothing written", from result.budget (set before)
    OverBudget,
};

// Adds the failure of the output at path to result: its message box to
// messages, its line to failure. reason is "FILE: reason" where there is
// one (ignored for the memory failures, which give their own).
void addFailure(OutputResult& result, OutputFailure failure, const std::string& path,
                const std::string& reason = {});

// The same for a failure of the AVI writer, whose fixed text is the result
// code's (AviResultText).
void addFailure(OutputResult& result, AviResult code, const std::string& path, const std::string& reason);

// Marks result cancelled: no message box, failure "PATH: cancelled".
void markCancelled(OutputResult& result, const std::string& path);

}  // namespace pelko
