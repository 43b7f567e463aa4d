// The Effects menu's frame commands: clone, flip and convert, each through
// its engine operation.

#include <QMenu>
#include <QScrollArea>
#include <QToolButton>

#include "engine/effects/clone.h"
#include "engine/effects/flip_convert.h"
#include "engine/project/frame_info.h"
#include "gui/app/main_window.h"

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
    rail_.run([this] {
        rail_.work({frameStrip_}, [this](ProgressSink&) { cloneSelected(project_); });
        mirrorProject(project_.selection.first());
    });
}

void TAVIForm::ActionFrameOriginExecute()
{
    rail_.run([this] {
        const int i = project_.selection.first();
        if (i >= 0 && i < project_.frames.count())
            dialogs_->showFrameInfo(this, frameInfo(project_, i));
    });
}

void TAVIForm::FlipExecute(int mode)
{
    rail_.run([this, mode] {
        const EffectResult result = rail_.work({frameStrip_, "Flip frame"}, [&](ProgressSink& progress) {
            return flipSelected(project_, mode, *reader_, progress);
        });
        mirrorProject(project_.selection.first());
        showErrors(result.errors);
    });
}

void TAVIForm::ConvertExecute(int mode)
{
    static const ConvertMode modes[] = {ConvertMode::Normal, ConvertMode::Inverse, ConvertMode::GreyScale};
    rail_.run([this, mode] {
        const EffectResult result =
            rail_.work({frameStrip_, "Convert frame to"}, [&](ProgressSink& progress) {
                return convertSelected(project_, modes[mode], *reader_, progress);
            });
        mirrorProject(project_.selection.first());
        showErrors(result.errors);
    });
}

}  // namespace pelko
