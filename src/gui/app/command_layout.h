#pragma once
// Where the window's commands are offered: one table places the registered
// commands, by id, in the menus, the tool bars, the drop-down tool buttons
// and the frame strip's pop-up.

#include <QList>
#include <array>

class QMainWindow;
class QMenu;
class QToolBar;

namespace pelko {

class CommandRegistry;

class CommandLayout {
public:
    static constexpr int kToolBarCount = 6;  // project, generate, run, edit, effects, frame

    // Builds the menus and tool bars of window from the table; every command
    // the table names must be registered.
    void build(QMainWindow& window, CommandRegistry& commands);

    QToolBar* toolBar(int index) const { return toolBars_.at(std::size_t(index)); }
    // Menus and tool bars that offer nothing are not shown; until the first
    // project only the project bar is.
    void showOffered(bool projectSetUp);

private:
    QList<QMenu*> menus_;  // the menu bar's menus and their submenus
    std::array<QToolBar*, kToolBarCount> toolBars_{};
};

}  // namespace pelko
