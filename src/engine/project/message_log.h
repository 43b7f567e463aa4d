#pragma once
// MessageLog: one line per problem met while a command works through frames.
// The main window shows it in its log panel exactly while it has lines.

#include <string>
#include <vector>

namespace pelko {

class MessageLog {
public:
    void add(std::string line) { lines_.push_back(std::move(line)); }
    void clear() { lines_.clear(); }
    bool empty() const { return lines_.empty(); }
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

}  // namespace pelko
