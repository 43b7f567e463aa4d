#pragma once
// UndoHistory: the steps a project went through, to be undone and redone,
// within a memory budget.

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "engine/history/project_change.h"

namespace pelko {

class UndoHistory {
public:
    static constexpr std::size_t kDefaultBudget = std::size_t(256) << 20;

    explicit UndoHistory(std::size_t budget = kDefaultBudget) : budget_(budget) {}

    // A step after the steps done; the steps that could be redone go. Past
    // the budget the oldest steps go too, which the project's log tells
    // once. The newest step always stays.
    void push(std::string name, ProjectChange change, Project& project);

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    // The names of the step Undo and Redo would take; empty when none.
    std::string undoName() const;
    std::string redoName() const;

    // One step back or forward; the project is unchanged again exactly at
    // the saved point.
    void undo(Project& project);
    void redo(Project& project);
    // Undoes or redoes steps until done of them are done (0 .. size()).
    void jumpTo(Project& project, std::size_t done);

    std::size_t size() const { return steps_.size(); }
    std::size_t done() const { return done_; }
    const std::string& name(std::size_t i) const { return steps_.at(i).name; }

    // No steps; the project as it is now is the saved point (New, Open).
    void clear();
    // The project as it is now was saved.
    void markSaved() { saved_ = done_; }
    // No state in the history was saved (a new project).
    void markUnsaved() { saved_.reset(); }
    bool atSavedPoint() const { return saved_ == done_; }

    std::size_t bytes() const { return bytes_; }
    std::size_t budget() const { return budget_; }
    void setBudget(std::size_t budget) { budget_ = budget; }

private:
    struct Step {
        std::string name;
        ProjectChange change;
        std::size_t bytes;
    };
    void keepWithinBudget(Project& project);

    std::deque<Step> steps_;
    std::size_t done_ = 0;
    std::optional<std::size_t> saved_ = 0;  // none: the saved state was dropped
    std::size_t bytes_ = 0;
    std::size_t budget_;
    bool toldDropping_ = false;
};

}  // namespace pelko
