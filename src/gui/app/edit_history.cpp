#include "gui/app/edit_history.h"

namespace pelko {

QString stepName(const QString& name, int frames)
{
    if (!name.contains("%n"))
        return name;
    QString count = frames == 1 ? QString("1 frame") : QString("%1 frames").arg(frames);
    return QString(name).replace("%n", count);
}

void EditHistory::name(const QString& name)
{
    if (name_.isEmpty())
        name_ = name;
}

void EditHistory::begin(const Project& project)
{
    before_ = ProjectSnapshot::of(project);
}

void EditHistory::end(Project& project)
{
    const std::optional<ProjectSnapshot> before = std::move(before_);
    const QString name = name_.isEmpty() ? QString("Edit") : name_;
    before_.reset();
    name_.clear();
    if (restart_) {
        ++changes_;
        restart_ = moving_ = false;
        steps_.clear();
        if (project.changed)  // a new project starts unsaved
            steps_.markUnsaved();
        return;
    }
    if (moving_) {
        ++changes_;
        moving_ = false;
        return;
    }
    if (!before)
        return;
    if (std::optional<ProjectChange> change = ProjectChange::between(*before, project)) {
        std::string named = stepName(name, change->framesTouched()).toStdString();
        steps_.push(std::move(named), std::move(*change), project);
        ++changes_;
    }
}

}  // namespace pelko
