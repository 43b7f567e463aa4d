#pragma once
// CommandRegistry: the window's commands. Each registered Command gets its
// QAction, a direct child of the window named by the command's id; the
// drop-down tool buttons are registered beside them. applyEnabling() sets
// every command by its rule from the engine's one enabling answer.

#include <QHash>
#include <QMenu>
#include <QString>
#include <vector>

#include "gui/app/command.h"

class QAction;
class QMainWindow;
class QToolButton;

namespace pelko {

class CommandRegistry {
public:
    CommandRegistry(QMainWindow& window, std::function<TAVIForm&()> context);

    // Makes the command's action; the command runs when it is triggered.
    QAction* add(Command command);
    QAction* action(const QString& id) const;
    // A menu of the window by its name ("fileMenu", "flipDropDown", ...),
    // made on the first ask; the layout fills and places it, features may
    // follow it before.
    QMenu* menu(const QString& name);
    QMenu* menu(const QString& name) const { return menus_.value(name); }
    // The menu follows its items: enabled while any of them is (the Effects
    // submenus).
    void followItems(QMenu* menu) { following_.push_back(menu); }
    // A drop-down tool button that the layout places by its object name.
    void addButton(QToolButton* button) { buttons_.push_back(button); }
    QToolButton* button(const QString& name) const;

    // Every command by its rule, then the menus that follow their items.
    void applyEnabling(const CommandEnabling& e);

private:
    struct Entry {
        Command::Rule rule;
        QAction* action;
    };
    QMainWindow& window_;
    std::function<TAVIForm&()> context_;
    std::vector<Entry> entries_;
    QHash<QString, QMenu*> menus_;
    std::vector<QMenu*> following_;
    std::vector<QToolButton*> buttons_;
};

}  // namespace pelko
