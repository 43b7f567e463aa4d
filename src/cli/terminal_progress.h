#pragma once
// The progress line of the long commands: on standard error, only when it is
// a terminal and the user did not ask for --quiet, one line redrawn in place:
//   make: frame 12 of 40  30%  elapsed 0:03  remaining 0:07

#include <chrono>
#include <string>

#include "cli/command.h"
#include "engine/base/progress.h"

namespace pelko::cli {

// "--quiet", for the commands that show a progress line.
inline constexpr OptionHelp kQuietOptionHelp[] = {
    {"--quiet", "no progress line (it is shown on standard error only when that is a terminal)"},
};

// The line for done of total frames (total 0: no frame count) at percent,
// elapsedMs after the start; the remaining time is estimated from them.
std::string progressLine(const std::string& label, int done, int total, int percent, long long elapsedMs);

// Ends the progress line being drawn, if any, so that a message printed
// next starts on its own line. fail() calls it.
void endProgressLine();

class TerminalProgress : public ProgressSink {
public:
    // label: what is at work ("make"); totalFrames: the frames the work
    // makes, counted from the percentage where the work does not count them.
    TerminalProgress(std::string label, int totalFrames, bool quiet);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void progress(int percent) override;
    void frames(int done, int total) override;
    // Ends the line, so that what is printed next starts on its own line.
    void finish();

private:
    void draw(bool force);

    std::string label_;
    int total_;
    bool shown_;
    bool drawn_ = false;
    bool counted_ = false;  // the work reports its frames itself
    int done_ = 0;
    int percent_ = 0;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace pelko::cli
