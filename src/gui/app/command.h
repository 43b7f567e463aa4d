#pragma once
// Command: one thing the user can tell the window to do, as an object. A
// feature folder makes its commands and registers them with the window's
// CommandRegistry; the layout table (command_layout.cpp) places them by id
// in the menus, the tool bars and the strip's pop-up. The window makes one
// QAction per command, named by its id ("ActionClone"), and enables it by the
// command's rule over the engine's one enabling answer.

#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

#include "engine/project/command_enabling.h"
#include "gui/app/icons.h"

namespace pelko {

class TAVIForm;

struct Command {
    using Rule = bool (*)(const CommandEnabling&);

    QString id;       // the action's object name, e.g. "ActionClone"
    QString caption;  // menu text
    QString hint;     // tool tip and status tip; empty: the caption
    QList<QKeySequence> keys;
    std::optional<IconKind> icon;
    QString iconText;        // the tool bar's text when it differs from the caption
    bool checkable = false;  // radio or check item (Flip, Convert, Run)
    Rule enabled = nullptr;  // null: enabled whenever the window is
    // The command's body. The window is its context: the project, the
    // command rail, the dialogs and the views. checked is the action's state
    // after the click, for checkable commands.
    std::function<void(TAVIForm&, bool checked)> execute;
    // The name of its undo step when it changes the project; "%n" becomes
    // the number of frames it touched. Empty: the caption.
    QString undoName;
};

// The enabling rules the commands share.
namespace enabled {
inline bool always(const CommandEnabling&)
{
    return true;
}
inline bool project(const CommandEnabling& e)
{
    return e.projectCommands;
}
inline bool selected(const CommandEnabling& e)
{
    return e.selected;
}
inline bool listNotEmpty(const CommandEnabling& e)
{
    return e.listNotEmpty;
}
}  // namespace enabled

// "Ctrl+N" and the like.
inline QList<QKeySequence> keys(const char* a, const char* b = nullptr)
{
    QList<QKeySequence> out{QKeySequence(QString::fromLatin1(a))};
    if (b)
        out << QKeySequence(QString::fromLatin1(b));
    return out;
}

}  // namespace pelko
