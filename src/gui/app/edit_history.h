#pragma once
// EditHistory: the window's undo history. Every command on the rail is one
// step: the project is taken before the outermost command and compared
// after it, and what changed in what the project saves becomes a step named
// by the command ("Delete 3 frames").

#include <QString>
#include <optional>

#include "engine/history/undo_history.h"

namespace pelko {

class EditHistory {
public:
    UndoHistory& steps() { return steps_; }
    const UndoHistory& steps() const { return steps_; }

    // The command being run names its step; "%n" becomes its frame count
    // ("Delete %n" -> "Delete 3 frames"). The first name given counts.
    void name(const QString& name);
    // The command ended without a step on the rail: its name goes.
    void forgetName() { name_.clear(); }
    // Before and after the outermost command.
    void begin(const Project& project);
    void end(Project& project);
    // The history starts again once the command ends (New, Open).
    void restart() { restart_ = true; }
    // The command moves through the history itself: it is no step.
    void moving() { moving_ = true; }
    // Counts the commands that changed the project or moved through its
    // history, and the restarts: what the window shows of an earlier state
    // (the file Generate wrote) is stale once it has moved on.
    unsigned changes() const { return changes_; }

private:
    UndoHistory steps_;
    std::optional<ProjectSnapshot> before_;
    QString name_;
    bool restart_ = false;
    bool moving_ = false;
    unsigned changes_ = 0;
};

// "Delete %n" with 3 frames: "Delete 3 frames".
QString stepName(const QString& name, int frames);

}  // namespace pelko
