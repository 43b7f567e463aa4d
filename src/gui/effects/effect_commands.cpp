// The Effects menu's frame commands: clone, flip and convert, each through
// its engine operation.

#include <QMenu>
#include <QScrollArea>
#include <QToolButton>

#include "engine/effects/clone.h"
#include "engine/effects/flip_convert.h"
#include "engine/project/frame_info.h"
#include "gui/app/main_window.h"
#include "gui/app/progress_dialog.h"
#include "gui/app/wait_guard.h"

namespace pelko {

void TAVIForm::connectEffectCommands()
{
    connect(ActionClone, &QAction::triggered, this, &TAVIForm::ActionCloneExecute);
    connect(ActionFrameOrigin, &QAction::triggered, this, &TAVIForm::ActionFrameOriginExecute);
    connect(ActionFrameOptions, &QAction::triggered, this, &TAVIForm::ActionFrameOptionsExecute);
    for (std::size_t i = 0; i < ActionFlip.size(); ++i)
        connect(ActionFlip[i], &QAction::triggered, this, [this, i] { FlipExecute(int(i)); });
    for (std::size_t i = 0; i < ActionConvert.size(); ++i)
        connect(ActionConvert[i], &QAction::triggered, this, [this, i] { ConvertExecute(int(i)); });
    for (QMenu* menu : {effectsMenu_, flipMenu_, convertMenu_, flipDropDown_})
        connect(menu, &QMenu::aboutToShow, this, &TAVIForm::setEffectMarks);
    connect(flipButton_, &QToolButton::clicked, this, [this] { FlipExecute(0); });
    connect(convertButton_, &QToolButton::clicked, this, [this] { ConvertExecute(0); });
}

void TAVIForm::setEffectMarks()
{
    const int i = project_.selection.first();
    if (i < 0 || i >= project_.frames.count())
        return;  // with nothing selected the marks stay as they were
    const EffectMarks m = effectMarks(project_.frames[std::size_t(i)]);
    for (std::size_t k = 0; k < ActionFlip.size(); ++k) ActionFlip[k]->setChecked(int(k) == m.flip);
    ActionConvert[0]->setChecked(m.normal);
    ActionConvert[1]->setChecked(m.inverse);
    ActionConvert[2]->setChecked(m.grey);
}

void TAVIForm::ActionCloneExecute()
{
    guarded([this] {
        {
            WaitGuard wait(frameStrip_);
            cloneSelected(project_);
        }
        mirrorProject(project_.selection.first());
    });
}

void TAVIForm::ActionFrameOriginExecute()
{
    const int i = project_.selection.first();
    if (i < 0 || i >= project_.frames.count())
        return;
    guarded([this, i] { dialogs_->showFrameInfo(this, frameInfo(project_, i)); });
}

void TAVIForm::FlipExecute(int mode)
{
    guarded([this, mode] {
        EffectResult result;
        {
            WaitGuard wait(frameStrip_);
            ProgressDialog progress(this, project_, "Flip frame", false);
            result = flipSelected(project_, mode, *reader_, progress);
        }
        mirrorProject(project_.selection.first());
        for (const std::string& e : result.errors) dialogs_->error(this, QString::fromStdString(e), false);
    });
}

void TAVIForm::ConvertExecute(int mode)
{
    static const ConvertMode modes[] = {ConvertMode::Normal, ConvertMode::Inverse, ConvertMode::GreyScale};
    guarded([this, mode] {
        EffectResult result;
        {
            WaitGuard wait(frameStrip_);
            ProgressDialog progress(this, project_, "Convert frame to", false);
            result = convertSelected(project_, modes[mode], *reader_, progress);
        }
        mirrorProject(project_.selection.first());
        for (const std::string& e : result.errors) dialogs_->error(this, QString::fromStdString(e), false);
    });
}

}  // namespace pelko
