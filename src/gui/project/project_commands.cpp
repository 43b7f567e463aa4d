// TAVIForm's project commands: New, Open, Save, Save as and Project options.
// Each runs its dialog, calls the engine and shows the project afterwards.

#include <QAction>
#include <QFileInfo>
#include <QScrollArea>

#include "engine/project/project_file.h"
#include "engine/project/project_options.h"
#include "engine/project/start_files.h"
#include "gui/app/main_window.h"
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
    rail_.run([this] {
        if (!queryChanges())
            return;
        ProjectOptions options = projectOptionsForDialog(project_, true, defaultFrameSize());
        ShowFlags flags = showFlags_;
        if (!dialogs_->projectOptions(this, options, flags, true, defaultFrameSize()))
            return;
        showFlags_ = flags;
        startNewProject(options);
    });
}

void TAVIForm::startNewProject(const ProjectOptions& options)
{
    setUpFirstProject();
    newProject(project_, options);
    sizeCanvas(!project_.settings.FixAtFirstFrame);
    scrollStripTo(0);
    mirrorProject(-1);
    showTypeTexts();
    showProjectName("New project");
    showSizeStatus();
}

void TAVIForm::newProjectWithPictures(const QStringList& paths)
{
    rail_.run([&] {
        if (paths.isEmpty() || !queryChanges())
            return;
        // frames name their sources by full path
        QStringList absolute;
        std::vector<std::string> files;
        for (const QString& p : paths) {
            absolute << QFileInfo(p).absoluteFilePath();
            files.push_back(absolute.back().toStdString());
        }
        startNewProject(
            startProjectOptions(files, projectOptionsForDialog(project_, true, defaultFrameSize())));
        addPictures(absolute);
    });
}

void TAVIForm::openProject(const QString& path)
{
    rail_.run([&] {
        const QString fullPath = QFileInfo(path).absoluteFilePath();
        addRecent(fullPath);
        setUpFirstProject();
        canvas_->setSurfaceSize(0, 0);
        canvas_->hide();
        project_.clear();
        const OpenResult result = rail_.work({frameStrip_, "Open", true}, [&](ProgressSink& progress) {
            mirrorProject(-1);
            scrollStripTo(0);
            OpenResult opened =
                openProjectFile(project_, fullPath.toStdString(), *reader_, defaultFrameSize(), progress);
            project_.path = fullPath.toStdString();
            return opened;
        });
        sizeCanvas(true);
        mirrorProject(project_.selection.first());
        showTypeTexts();
        showProjectName(QFileInfo(fullPath).fileName());
        showSizeStatus();
        showErrors(result.errors);
    });
}

void TAVIForm::ActionOpenExecute()
{
    rail_.run([this] {
        if (!queryChanges())
            return;
        const QString path = dialogs_->openProjectFile(this);
        if (!path.isEmpty())
            openProject(path);
    });
}

bool TAVIForm::saveProjectTo(const QString& path)
{
    bool saved = false;
    rail_.run([&] {
        rail_.work({}, [&](ProgressSink&) { saveProjectFile(project_, path.toStdString()); });
        saved = true;
        showProjectName(QFileInfo(path).fileName());
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
    rail_.run([this] {
        ProjectOptions options = projectOptionsForDialog(project_, false, defaultFrameSize());
        ShowFlags flags = showFlags_;
        if (!dialogs_->projectOptions(this, options, flags, false, defaultFrameSize()))
            return;
        showFlags_ = flags;
        scrollStripTo(0);
        const ProjectOptionsResult result =
            rail_.work({frameStrip_, "Project options"}, [&](ProgressSink& progress) {
                return applyProjectOptions(project_, options, *reader_, progress);
            });
        sizeCanvas(true);
        mirrorProject(project_.selection.first());
        showTypeTexts();
        showSizeStatus();
        showErrors(result.errors);
    });
}

}  // namespace pelko
