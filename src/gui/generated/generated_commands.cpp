// The commands that generate frames: "Adding frames with Alpha blending" and
// "Creeping line". Each opens its dialog, then on the rail writes the GIF
// into the work folder and puts its frames into the list.

#include <QAction>
#include <QCoreApplication>
#include <QScrollArea>
#include <climits>

#include "engine/base/work_folder.h"
#include "engine/project/frame_cache.h"
#include "gui/app/main_window.h"
#include "gui/app/picture_image.h"
#include "gui/generated/alpha_form.h"
#include "gui/generated/text_form.h"
#include "platform/qt_text_drawer.h"

namespace pelko {

namespace {

constexpr int kCardStep = 154;  // a card and the gap below it in the frame strip

// The work folder for a command, made when missing; throws WorkFolderError
// with the command's message when there can be none.
std::string workFolder(const GeneratedFramesState& state, const char* failurePrefix)
{
    const QString program =
        state.programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : state.programFolder;
    return prepareWorkFolder(program.toStdString() + "/", userDataHome(), failurePrefix);
}

}  // namespace

void TAVIForm::connectGeneratedCommands()
{
    connect(ActionAlpha, &QAction::triggered, this, &TAVIForm::ActionAlphaExecute);
    connect(ActionAddText, &QAction::triggered, this, &TAVIForm::ActionAddTextExecute);
}

void TAVIForm::ActionAlphaExecute()
{
    rail_.run([this] {
        const int anchor = project_.selection.first();
        if (anchor < 0 || anchor >= project_.frames.count())
            return;
        AlphaBlendSettings chosen;
        {
            TFormAlpha form(project_, blendSources(project_, anchor), generated_.alpha, *dialogs_, this);
            if (!dialogs_->alphaBlend(this, form))
                return;
            chosen = form.settings();
        }
        const std::string work = workFolder(generated_, kBlendWorkFolderError);
        const GeneratedFrames made =
            rail_.work({frameStrip_, "Adding frames with Alpha blending", true}, [&](ProgressSink& progress) {
                return addAlphaBlendFrames(project_, chosen, work, *reader_, progress);
            });
        if (made.cancelled)
            return;
        generated_.alpha = chosen;
        generated_.lastEffectFile = QString::fromStdString(made.path);
        mirrorProject(project_.selection.first());
        scrollStripTo(anchor * kCardStep + 4);
    });
}

void TAVIForm::ActionAddTextExecute()
{
    rail_.run([this] {
        const int anchor = project_.selection.first();
        if (anchor < 0 || anchor >= project_.frames.count())
            return;
        const FrameRecord& a = project_.frames[std::size_t(anchor)];
        const CreepingLineSettings stored = generated_.text.value_or(defaultCreepingLine(project_.settings));
        QtTextDrawer drawer;
        CreepingLineSettings chosen;
        {
            TFormText form(project_.settings, stored, toImage(frameImage(project_, anchor).get()),
                           QPoint(a.Left, a.Top), drawer, *dialogs_, this);
            if (!dialogs_->creepingLine(this, form))
                return;
            chosen = form.settings();
        }
        const std::string work = workFolder(generated_, kTextWorkFolderError);
        const bool append = anchor == project_.frames.count() - 1;
        const GeneratedFrames made =
            rail_.work({frameStrip_, "Creeping line", true}, [&](ProgressSink& progress) {
                return addCreepingLineFrames(project_, chosen, work, drawer, *reader_, progress);
            });
        if (made.cancelled)
            return;
        generated_.text = chosen;
        generated_.lastEffectFile = QString::fromStdString(made.path);
        mirrorProject(project_.selection.first());
        scrollStripTo(append ? INT_MAX : anchor * kCardStep + 4);
    });
}

}  // namespace pelko
