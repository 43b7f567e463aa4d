// The commands that generate frames: "Adding frames with Alpha blending" and
// "Creeping line". Each opens its dialog, then on the rail writes the GIF
// into the work folder and puts its frames into the list.

#include "gui/effects/effects_commands.h"

#include <QAction>
#include <QCoreApplication>
#include <QScrollArea>
#include <climits>

#include "engine/base/work_folder.h"
#include "engine/project/frame_cache.h"
#include "gui/app/frame_strip.h"
#include "gui/app/main_window.h"
#include "gui/app/picture_image.h"
#include "gui/effects/alpha_form.h"
#include "gui/effects/text_form.h"
#include "platform/qt_text_drawer.h"

namespace pelko {

namespace {

// The work folder for a command, made when missing; throws WorkFolderError
// with the command's message when there can be none.
std::string workFolder(const GeneratedFramesState& state, const char* failurePrefix)
{
    const QString program =
        state.programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : state.programFolder;
    return prepareWorkFolder(program.toStdString() + "/", userDataHome(), failurePrefix);
}

void alphaCommand(TAVIForm& w, GeneratedFramesState& generated)
{
    Project& project = w.project();
    w.rail().run([&] {
        const int anchor = project.selection.first();
        if (anchor < 0 || anchor >= project.frames.count())
            return;
        AlphaBlendSettings chosen;
        {
            TFormAlpha form(project, blendSources(project, anchor), generated.alpha, w.dialogs(), &w);
            if (!w.dialogs().runForm(&w, form))
                return;
            chosen = form.settings();
        }
        const std::string work = workFolder(generated, kBlendWorkFolderError);
        const GeneratedFrames made = w.rail().work(
            {w.frameStrip(), "Adding frames with Alpha blending", true}, [&](ProgressSink& progress) {
                return addAlphaBlendFrames(project, chosen, work, w.reader(), progress);
            });
        if (made.cancelled)
            return;
        generated.alpha = chosen;
        generated.lastEffectFile = QString::fromStdString(made.path);
        w.mirrorProject(project.selection.first());
        w.scrollStripTo(anchor * kCardStep + 4);
    });
}

void creepingLineCommand(TAVIForm& w, GeneratedFramesState& generated)
{
    Project& project = w.project();
    w.rail().run([&] {
        const int anchor = project.selection.first();
        if (anchor < 0 || anchor >= project.frames.count())
            return;
        const FrameRecord& a = project.frames[std::size_t(anchor)];
        const CreepingLineSettings stored = generated.text.value_or(defaultCreepingLine(project.settings));
        QtTextDrawer drawer;
        CreepingLineSettings chosen;
        {
            TFormText form(project.settings, stored, toImage(frameImage(project, anchor).get()),
                           QPoint(a.Left, a.Top), drawer, w.dialogs(), &w);
            if (!w.dialogs().runForm(&w, form))
                return;
            chosen = form.settings();
        }
        const std::string work = workFolder(generated, kTextWorkFolderError);
        const bool append = anchor == project.frames.count() - 1;
        const GeneratedFrames made =
            w.rail().work({w.frameStrip(), "Creeping line", true}, [&](ProgressSink& progress) {
                return addCreepingLineFrames(project, chosen, work, drawer, w.reader(), progress);
            });
        if (made.cancelled)
            return;
        generated.text = chosen;
        generated.lastEffectFile = QString::fromStdString(made.path);
        w.mirrorProject(project.selection.first());
        w.scrollStripTo(append ? INT_MAX : anchor * kCardStep + 4);
    });
}

}  // namespace

GeneratedFramesState& generatedState(TAVIForm& window)
{
    return window.feature<EffectsFeature>()->state;
}

void installEffectsCommands(TAVIForm& window)
{
    auto* feature = new EffectsFeature(&window);
    GeneratedFramesState& state = feature->state;
    // the creeping line starts again from its defaults with each project type shown
    QObject::connect(&window, &TAVIForm::typeShown, feature, [&state] { state.text.reset(); });
    window.commands().add({.id = "ActionAddText",
                           .caption = "Creeping line",
                           .hint = "Creeping line",
                           .keys = keys("Ctrl+Alt+T"),
                           .icon = IconKind::Text,
                           .iconText = "Add text",
                           .enabled = enabled::selected,
                           .execute = [&state](TAVIForm& w, bool) { creepingLineCommand(w, state); },
                           .undoName = "Add %n of creeping line"});
    window.commands().add({.id = "ActionAlpha",
                           .caption = "Adding frames with Alpha blending",
                           .keys = keys("Ctrl+Alt+B"),
                           .icon = IconKind::Alpha,
                           .enabled = enabled::selected,
                           .execute = [&state](TAVIForm& w, bool) { alphaCommand(w, state); },
                           .undoName = "Add %n with Alpha blending"});
}

}  // namespace pelko
