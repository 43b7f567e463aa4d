#pragma once
// LogPanel: the message log below the frames. It is shown, with its
// splitter, exactly while the log has lines, opening three lines high.

#include <QPlainTextEdit>
#include <string>
#include <vector>

class QSplitter;

namespace pelko {

class LogPanel : public QPlainTextEdit {
public:
    LogPanel();
    // Shows lines, opening the panel in splitter when they are the first.
    void showLines(const std::vector<std::string>& lines, QSplitter& splitter);
};

}  // namespace pelko
