// Frame options (the dialog, then the engine's confirm and apply steps) and
// Frame origin (the frame info dialog).

#include <QScrollArea>
#include <memory>

#include "engine/project/frame_info.h"
#include "engine/project/frame_options.h"
#include "gui/app/frame_strip.h"
#include "gui/app/main_window.h"
#include "gui/frames/delay_form.h"
#include "gui/frames/frame_commands.h"

namespace pelko {

namespace {

void frameOptionsCommand(TAVIForm& w, PendingFrameOptions& pending)
{
    w.rail().run([&] {
        Project& project = w.project();
        pending.flags = {};
        const int anchor = project.selection.first();
        if (anchor < 0 || anchor >= project.frames.count())
            return;
        bool optionsChanged = false;
        {
            TDelayForm form(project, &w);
            if (!w.dialogs().runForm(&w, form))
                return;
            optionsChanged = confirmFrameOptions(pending, form.values(), form.marks(), project.settings);
        }
        w.repaint();
        const EditResult result =
            w.rail().work({w.frameStrip(), "Frame options"}, [&](ProgressSink& progress) {
                return applyFrameOptions(project, pending, optionsChanged, w.reader(), progress);
            });
        w.mirrorProject(project.selection.first());
        w.showErrors(result.errors);
    });
}

}  // namespace

void installFrameOptionsCommands(TAVIForm& window)
{
    // what the dialog confirmed last, kept for the whole run
    auto pending = std::make_shared<PendingFrameOptions>();
    QAction* options =
        window.commands().add({.id = "ActionFrameOptions",
                               .caption = "Frame options",
                               .keys = keys("Ctrl+T"),
                               .icon = IconKind::FrameOptions,
                               .enabled = enabled::selected,
                               .execute = [pending](TAVIForm& w, bool) { frameOptionsCommand(w, *pending); },
                               .undoName = "Frame options of %n"});
    window.commands().add({.id = "ActionFrameOrigin",
                           .caption = "Frame origin",
                           .hint = "Info",
                           .icon = IconKind::Info,
                           .enabled = enabled::selected,
                           .execute = [](TAVIForm& w, bool) {
                               w.rail().run([&w] {
                                   const int i = w.project().selection.first();
                                   if (i >= 0 && i < w.project().frames.count())
                                       w.dialogs().showFrameInfo(&w, frameInfo(w.project(), i));
                               });
                           }});
    // the options picture of a card: that frame alone, then Frame options
    QObject::connect(window.frameCards(), &FrameStrip::optionsClicked, &window,
                     [&window, options](int index) {
                         if (index < 0 || index >= window.project().frames.count())
                             return;
                         window.project().selection.selectOnly(index);
                         window.mirrorProject(index);
                         options->trigger();
                     });
}

}  // namespace pelko
