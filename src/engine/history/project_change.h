#pragma once
// ProjectChange: what one command changed in a project, to be undone and
// redone.

#include <cstddef>
#include <optional>
#include <vector>

#include "engine/project/project.h"

namespace pelko {

// The part of a project an edit can change and saving keeps, with the
// selection, as it was before a command.
struct ProjectSnapshot {
    ProjectSettings settings;
    std::vector<FrameRecord> frames;
    std::vector<int> selection;

    static ProjectSnapshot of(const Project& project);
};

class ProjectChange {
public:
    // The change from before to the project as it is now; none when its
    // settings and frames are the same (a change of the selection alone is
    // no change).
    static std::optional<ProjectChange> between(const ProjectSnapshot& before, const Project& after);

    // Brings the project back to before the change, or forward to after it,
    // with the selection it had then. The project must be as the change left
    // it (or as it found it, for redo).
    void undo(Project& project) const;
    void redo(Project& project) const;

    // The frames the change added, removed or altered.
    int framesTouched() const;
    // The memory the change holds.
    std::size_t bytes() const;

private:
    static void replace(FrameList& frames, std::size_t at, std::size_t count,
                        const std::vector<FrameRecord>& with);

    ProjectSettings settingsBefore_;
    ProjectSettings settingsAfter_;
    std::size_t at_ = 0;  // where the frames that differ start
    std::vector<FrameRecord> before_;
    std::vector<FrameRecord> after_;
    std::vector<int> selectionBefore_;
    std::vector<int> selectionAfter_;
};

}  // namespace pelko
