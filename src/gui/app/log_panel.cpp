#include "gui/app/log_panel.h"

#include <QScrollBar>
#include <QSplitter>
#include <QTextDocument>

namespace pelko {

namespace {

constexpr int kLogLines = 3;  // lines the log panel shows when it opens
constexpr int kLogMaxHeight = 200;

// The height of a log panel that shows exactly lines whole lines above its
// horizontal scroll bar.
int logHeightFor(const QPlainTextEdit* log, int lines)
{
    const int margin = int(log->document()->documentMargin());
    const int bar = log->horizontalScrollBar()->sizeHint().height();
    return lines * log->fontMetrics().lineSpacing() + 2 * margin + 2 * log->frameWidth() + bar;
}

}  // namespace

LogPanel::LogPanel()
{
    setObjectName("messageLog");
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setMinimumHeight(logHeightFor(this, 1));
    setMaximumHeight(std::max(kLogMaxHeight, logHeightFor(this, kLogLines)));
    hide();
}

void LogPanel::showLines(const std::vector<std::string>& lines, QSplitter& splitter)
{
    QStringList text;
    text.reserve(qsizetype(lines.size()));
    for (const std::string& line : lines) text << QString::fromStdString(line);
    setPlainText(text.join('\n'));
    const bool show = !lines.empty();
    if (show && isHidden()) {
        QPlainTextEdit::show();
        const int total = splitter.height();
        const int height = logHeightFor(this, kLogLines);
        splitter.setSizes({std::max(total - height, 1), height});
    } else if (!show) {
        hide();
    }
}

}  // namespace pelko
