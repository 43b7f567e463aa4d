// TAVIForm's project commands: New, Open, Save, Save as and Project options.
// Each runs its dialog, calls the engine and shows the project afterwards.

#include <QAction>
#include <QFileInfo>
#include <QScrollArea>

#include "engine/project/project_file.h"
#include "engine/project/project_options.h"
#include "gui/app/main_window.h"
#include "gui/app/progress_dialog.h"
#include "gui/app/wait_guard.h"
#include "gui/frames/preview_canvas.h"

namespace pelko {

void TAVIForm::connectProjectCommands()
{
    connect(ActionOpen, &QAction::triggered, this, &TAVIForm::ActionOpenExecute);
    connect(ActionSave, &QAction::triggered, this, &TAVIForm::ActionSaveExecute);
    connect(ActionSaveAs, &QAction::triggered, this, &TAVIForm::ActionSaveAsExecute);
    connect(ActionProjectOptions, &QAction::triggered, this, &TAVIForm::ActionProjectOptionsExecute);
}

void TAVIForm::ActionNewExecute()
{
    emit newProjectRequested();
    guarded([this] {
        if (!queryChanges())
            return;
        ProjectOptions options = projectOptionsForDialog(project_, true, defaultFrameSize());
        ShowFlags flags = showFlags_;
        if (!dialogs_->projectOptions(this, options, flags, true, defaultFrameSize()))
            return;
        showFlags_ = flags;
        setUpFirstProject();
        newProject(project_, options);
        sizeCanvas(!project_.settings.FixAtFirstFrame);
        scrollStripTo(0);
        mirrorProject(-1);
        showTypeTexts();
        showProjectName("New project");
        showSizeStatus();
    });
}

void TAVIForm::openProject(const QString& path)
{
    guarded([&] {
        const QString fullPath = QFileInfo(path).absoluteFilePath();
        addRecent(fullPath);
        setUpFirstProject();
        canvas_->setSurfaceSize(0, 0);
        project_.clear();
        OpenResult result;
        {
            WaitGuard wait(frameStrip_);
            mirrorProject(-1);
            scrollStripTo(0);
            ProgressDialog progress(this, project_, "Open");
            result =
                openProjectFile(project_, fullPath.toStdString(), *reader_, defaultFrameSize(), progress);
            project_.path = fullPath.toStdString();
            sizeCanvas(true);
            mirrorProject(project_.selection.first());
            showTypeTexts();
            showProjectName(QFileInfo(fullPath).fileName());
            showSizeStatus();
        }
        for (const std::string& e : result.errors) dialogs_->error(this, QString::fromStdString(e), false);
    });
}

void TAVIForm::ActionOpenExecute()
{
    if (!queryChanges())
        return;
    const QString path = dialogs_->openProjectFile(this);
    if (!path.isEmpty())
        openProject(path);
}

bool TAVIForm::saveProjectTo(const QString& path)
{
    bool saved = false;
    guarded([&] {
        saveProjectFile(project_, path.toStdString());
        saved = true;
    });
    applyEnabling();
    return saved;
}

bool TAVIForm::ActionSaveExecute()
{
    if (project_.path.empty())
        return ActionSaveAsExecute();
    return saveProjectTo(QString::fromStdString(project_.path));
}

bool TAVIForm::ActionSaveAsExecute()
{
    const QString path = dialogs_->saveProjectFile(this, QString::fromStdString(project_.path));
    if (path.isEmpty())
        return true;
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    if (!saveProjectTo(fullPath))
        return false;
    addRecent(fullPath);
    return true;
}

void TAVIForm::ActionProjectOptionsExecute()
{
    guarded([this] {
        ProjectOptions options = projectOptionsForDialog(project_, false, defaultFrameSize());
        ShowFlags flags = showFlags_;
        if (!dialogs_->projectOptions(this, options, flags, false, defaultFrameSize()))
            return;
        showFlags_ = flags;
        scrollStripTo(0);
        ProjectOptionsResult result;
        {
            WaitGuard wait(frameStrip_);
            ProgressDialog progress(this, project_, "Project options", false);
            result = applyProjectOptions(project_, options, *reader_, progress);
        }
        sizeCanvas(true);
        mirrorProject(project_.selection.first());
        showTypeTexts();
        showSizeStatus();
        for (const std::string& e : result.errors) dialogs_->error(this, QString::fromStdString(e), false);
    });
}

}  // namespace pelko
