#include "gui/app/command_rail.h"

namespace pelko {

const char* const kUnknownError = "Unknown error.";

CommandRail::CommandRail(QWidget* window, const Project& project, std::function<DialogProvider&()> dialogs,
                         std::function<void()> started, std::function<void()> finished)
    : window_(window),
      project_(project),
      dialogs_(std::move(dialogs)),
      started_(std::move(started)),
      finished_(std::move(finished))
{
}

void CommandRail::showError(const QString& text, bool icon)
{
    dialogs_().error(window_, text, icon);
}

void CommandRail::showErrors(const std::vector<std::string>& errors)
{
    if (errors.empty())
        return;
    if (errors.size() == 1) {
        showError(QString::fromStdString(errors.front()), false);
        return;
    }
    QStringList texts;
    for (const std::string& e : errors) texts << QString::fromStdString(e);
    showError(texts.join("\n\n"), false);
}

void CommandRail::reportEscaped(const char* what)
{
    showError(what && *what ? QString::fromUtf8(what) : QString(kUnknownError), true);
}

}  // namespace pelko
