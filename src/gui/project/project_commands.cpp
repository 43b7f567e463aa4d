// The project commands: New, Open, Save, Save as and Project options. Each
// runs its dialog, calls the engine and shows the project afterwards.

#include "gui/project/project_commands.h"

#include <QScrollArea>

#include "engine/project/project_options.h"
#include "gui/app/main_window.h"

namespace pelko {

namespace {

void newProjectCommand(TAVIForm& w)
{
    emit w.newProjectRequested();
    w.rail().run([&w] {
        if (!w.queryChanges())
            return;
        ProjectOptions options = projectOptionsForDialog(w.project(), true, w.defaultFrameSize());
        ShowFlags flags = w.showFlags();
        if (!w.dialogs().projectOptions(&w, options, flags, true, w.defaultFrameSize()))
            return;
        w.setShowFlags(flags);
        w.startNewProject(options);
    });
}

void openCommand(TAVIForm& w)
{
    w.rail().run([&w] {
        if (!w.queryChanges())
            return;
        const QString path = w.dialogs().openProjectFile(&w);
        if (!path.isEmpty())
            w.openProject(path);
    });
}

void projectOptionsCommand(TAVIForm& w)
{
    w.rail().run([&w] {
        Project& project = w.project();
        ProjectOptions options = projectOptionsForDialog(project, false, w.defaultFrameSize());
        ShowFlags flags = w.showFlags();
        if (!w.dialogs().projectOptions(&w, options, flags, false, w.defaultFrameSize()))
            return;
        w.setShowFlags(flags);
        w.scrollStripTo(0);
        const ProjectOptionsResult result =
            w.rail().work({w.frameStrip(), "Project options"}, [&](ProgressSink& progress) {
                return applyProjectOptions(project, options, w.reader(), progress);
            });
        w.sizeCanvas(true);
        w.mirrorProject(project.selection.first());
        w.showTypeTexts();
        w.showSizeStatus();
        w.showErrors(result.errors);
    });
}

}  // namespace

void installProjectCommands(TAVIForm& window)
{
    CommandRegistry& c = window.commands();
    c.add({.id = "ActionNew",
           .caption = "New",
           .hint = "New project",
           .keys = keys("Ctrl+N"),
           .icon = IconKind::New,
           .execute = [](TAVIForm& w, bool) { newProjectCommand(w); }});
    c.add({.id = "ActionOpen",
           .caption = "Open",
           .hint = "Open project",
           .keys = keys("Ctrl+O"),
           .icon = IconKind::Open,
           .execute = [](TAVIForm& w, bool) { openCommand(w); }});
    c.add({.id = "ActionSave",
           .caption = "Save project",
           .keys = keys("Ctrl+S"),
           .icon = IconKind::Save,
           .enabled = [](const CommandEnabling& e) { return e.save; },
           .execute = [](TAVIForm& w, bool) { w.save(); }});
    c.add({.id = "ActionSaveAs",
           .caption = "Save as",
           .hint = "Save As",
           .icon = IconKind::SaveAs,
           .enabled = enabled::project,
           .execute = [](TAVIForm& w, bool) { w.saveAs(); }});
    c.add({.id = "ActionProjectOptions",
           .caption = "Project options",
           .keys = keys("Ctrl+P"),
           .icon = IconKind::ProjectOptions,
           .enabled = enabled::project,
           .execute = [](TAVIForm& w, bool) { projectOptionsCommand(w); }});
}

}  // namespace pelko
