#include "cli/terminal_progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace pelko::cli {

namespace {

// "0:07", "12:30", "1:02:03"
std::string clockText(long long ms)
{
    const long long s = std::max(0LL, ms) / 1000;
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
    return text;
}

constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

// The progress whose line is on the terminal (one at a time).
TerminalProgress* drawing = nullptr;

}  // namespace

std::string progressLine(const std::string& label, int done, int total, int percent, long long elapsedMs)
{
    percent = std::clamp(percent, 0, 100);
    std::string line = label + ": ";
    if (total > 0)
        line += "frame " + std::to_string(std::clamp(done, 0, total)) + " of " + std::to_string(total) + "  ";
    line += std::to_string(percent) + "%  elapsed " + clockText(elapsedMs) + "  remaining ";
    // the share done: the frames where they are counted, else the percentage
    const double share = total > 0 && done > 0 ? double(std::min(done, total)) / total : percent / 100.0;
    if (share <= 0)
        line += "?";
    else
        line += clockText((long long)(elapsedMs * (1 - share) / share));
    return line;
}

TerminalProgress::TerminalProgress(std::string label, int totalFrames, bool quiet)
    : label_(std::move(label)), total_(std::max(0, totalFrames)), shown_(!quiet && ::isatty(2))
{
}

TerminalProgress::~TerminalProgress()
{
    finish();
}

void endProgressLine()
{
    if (drawing)
        drawing->finish();
}

void TerminalProgress::progress(int percent)
{
    // work that counts its frames says how far it is by them
    if (counted_)
        return;
    percent = std::clamp(percent, 0, 100);
    if (percent == percent_ && drawn_)
        return;
    percent_ = percent;
    done_ = total_ * percent / 100;
    draw(percent == 100);
}

void TerminalProgress::frames(int done, int total)
{
    counted_ = true;
    done_ = done;
    if (total > 0) {
        total_ = total;
        percent_ = std::clamp(done, 0, total) * 100 / total;
    }
    draw(done == total);
}

void TerminalProgress::draw(bool force)
{
    if (!shown_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && drawn_ && now - lastDraw_ < kRedrawEvery)
        return;
    lastDraw_ = now;
    drawn_ = true;
    drawing = this;
    const long long elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - start_).count();
    // \r back to the line's start, ESC [K clears what a longer line left
    std::fprintf(stderr, "\r%s\033[K", progressLine(label_, done_, total_, percent_, elapsed).c_str());
    std::fflush(stderr);
}

void TerminalProgress::finish()
{
    if (!drawn_)
        return;
    draw(true);  // the last state, which the redraw limit may have held back
    std::fputc('\n', stderr);
    drawn_ = false;
    shown_ = false;
    if (drawing == this)
        drawing = nullptr;
}

}  // namespace pelko::cli
