#include "engine/history/undo_history.h"

namespace pelko {

void UndoHistory::push(std::string name, ProjectChange change, Project& project)
{
    while (steps_.size() > done_) {
        bytes_ -= steps_.back().bytes;
        steps_.pop_back();
    }
    if (saved_ && *saved_ > done_)
        saved_.reset();  // the saved state was among the steps that went
    const std::size_t bytes = change.bytes() + name.capacity();
    steps_.push_back({std::move(name), std::move(change), bytes});
    bytes_ += bytes;
    ++done_;
    keepWithinBudget(project);
}

void UndoHistory::keepWithinBudget(Project& project)
{
    bool dropped = false;
    while (bytes_ > budget_ && steps_.size() > 1) {
        bytes_ -= steps_.front().bytes;
        steps_.pop_front();
        --done_;
        if (saved_)
            saved_ = *saved_ == 0 ? std::nullopt : std::optional<std::size_t>(*saved_ - 1);
        dropped = true;
    }
    if (dropped && !toldDropping_) {
        toldDropping_ = true;
        project.log.add("Undo: the oldest steps were dropped to keep the history within " +
                        std::to_string(budget_ >> 20) + " MB.");
    }
}

std::string UndoHistory::undoName() const
{
    return canUndo() ? steps_[done_ - 1].name : std::string();
}

std::string UndoHistory::redoName() const
{
    return canRedo() ? steps_[done_].name : std::string();
}

void UndoHistory::undo(Project& project)
{
    if (!canUndo())
        return;
    steps_[--done_].change.undo(project);
    project.changed = !atSavedPoint();
}

void UndoHistory::redo(Project& project)
{
    if (!canRedo())
        return;
    steps_[done_++].change.redo(project);
    project.changed = !atSavedPoint();
}

void UndoHistory::jumpTo(Project& project, std::size_t done)
{
    while (done_ > done && canUndo()) undo(project);
    while (done_ < done && canRedo()) redo(project);
}

void UndoHistory::clear()
{
    steps_.clear();
    done_ = 0;
    saved_ = 0;
    bytes_ = 0;
    toldDropping_ = false;
}

}  // namespace pelko
