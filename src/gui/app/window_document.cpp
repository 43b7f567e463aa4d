// The window's project as a document (New, Open, Save, adding pictures, the
// question before it is dropped) and showing it after a command: the cards,
// the preview, the enabled commands, the log panel and the status panels.

#include <QFileInfo>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>

#include "engine/project/editing.h"
#include "engine/project/frame_cache.h"
#include "engine/project/project_file.h"
#include "engine/rules/start_files.h"
#include "gui/app/frame_strip.h"
#include "gui/app/main_window.h"
#include "gui/app/picture_image.h"
#include "gui/app/preview_canvas.h"
#include "gui/app/reopen_menu.h"

namespace pelko {

namespace {

std::vector<std::string> toStd(const QStringList& paths)
{
    std::vector<std::string> out;
    out.reserve(std::size_t(paths.size()));
    for (const QString& p : paths) out.push_back(p.toStdString());
    return out;
}

}  // namespace

// ---- the project as a document ----

void TAVIForm::startNewProject(const ProjectOptions& options)
{
    history_.restart();
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
        history_.restart();
        addRecent(fullPath);
        setUpFirstProject();
        canvas_->setSurfaceSize(0, 0);
        canvas_->hide();
        project_.clear();
        mirrorProject(-1);
        scrollStripTo(0);
        const OpenResult result = rail_.work({frameStrip_, "Open", true}, [&](ProgressSink& progress) {
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

void TAVIForm::addPictures(const QStringList& paths)
{
    history_.name("Add %n");
    appendPictures(paths, addFiles);
}

void TAVIForm::dropPictures(const QStringList& paths)
{
    history_.name("Add %n");
    appendPictures(paths, dropFiles);
}

void TAVIForm::appendPictures(const QStringList& paths, AppendFiles append)
{
    rail_.run([&] {
        const EditResult result = rail_.work({frameStrip_, "Add", true}, [&](ProgressSink& progress) {
            return append(project_, toStd(paths), *reader_, progress);
        });
        afterEdit(result);
        scrollStripTo(cards_->contentHeight());
    });
}

void TAVIForm::insertPictures(const QStringList& paths)
{
    history_.name("Insert %n");
    rail_.run([&] {
        const int at = project_.selection.first();
        if (at < 0)
            return;
        const EditResult result = rail_.work({frameStrip_, "Insert", true}, [&](ProgressSink& progress) {
            return insertFiles(project_, toStd(paths), *reader_, progress);
        });
        afterEdit(result);
        scrollStripTo((at + result.added - 1) * kCardStep + kCardMargin);
    });
}

bool TAVIForm::saveProjectTo(const QString& path)
{
    bool saved = false;
    rail_.run([&] {
        rail_.work({}, [&](ProgressSink&) { saveProjectFile(project_, path.toStdString()); });
        history_.steps().markSaved();
        saved = true;
        showProjectName(QFileInfo(path).fileName());
    });
    applyEnabling();
    return saved;
}

bool TAVIForm::save()
{
    if (project_.path.empty())
        return saveAs();
    return saveProjectTo(QString::fromStdString(project_.path));
}

bool TAVIForm::saveAs()
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

bool TAVIForm::queryChanges()
{
    if (!project_.changed)
        return true;
    const auto answer = dialogs_->askSaveChanges(this);
    if (answer == QMessageBox::Cancel)
        return false;
    // a save that failed keeps the changes and stops the command
    if (answer == QMessageBox::Yes)
        return save();
    return true;
}

void TAVIForm::setUpFirstProject()
{
    if (firstProjectSetUp_)
        return;
    firstProjectSetUp_ = true;
    frameStrip_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(frameStrip_, &QWidget::customContextMenuRequested, this, &TAVIForm::stripContextMenu);
    frameStrip_->setEnabled(true);
    setAcceptDrops(true);
    applyEnabling();
    layout_.showOffered(firstProjectSetUp_);
}

void TAVIForm::addRecent(const QString& path)
{
    recent_.add(path.toStdString());
    reopen_->fill();
}

void TAVIForm::stripContextMenu(const QPoint& pos)
{
    // a right click on a frame that is not selected selects that frame alone
    // before the menu offers commands on the selection
    // (the scroll area reports the place in its viewport's coordinates)
    const int i = cards_->cardAt(cards_->mapFrom(frameStrip_->viewport(), pos));
    if (i >= 0 && !project_.selection.contains(i))
        mirrorProject(clickCard(project_, i, false, true));
    menu("stripMenu")->popup(frameStrip_->viewport()->mapToGlobal(pos));
}

// ---- showing the project ----

void TAVIForm::setSourceReader(std::unique_ptr<SourceReader> reader)
{
    reader_ = std::move(reader);
    project_.cache->setReader(reader_);
}

void TAVIForm::mirrorProject(int previewIndex)
{
    cards_->frameCountChanged();
    showPreview(previewIndex);
    applyEnabling();
    showLog();
    showFrameStatus();
}

void TAVIForm::scrollStripTo(int y)
{
    QScrollBar* bar = frameStrip_->verticalScrollBar();
    bar->setRange(0, std::max(0, cards_->contentHeight() - frameStrip_->viewport()->height()));
    bar->setValue(std::clamp(y, bar->minimum(), bar->maximum()));
}

void TAVIForm::showPreview(int index)
{
    previewArea_->horizontalScrollBar()->setValue(0);
    previewArea_->verticalScrollBar()->setValue(0);
    if (index < 0 || index >= project_.frames.count()) {
        canvas_->setPicture({}, {});
        return;
    }
    // rendered here when the cache does not hold it: one frame is quick, and
    // the preview shows what was asked for at once
    const FrameRecord& f = project_.frames[std::size_t(index)];
    canvas_->setPicture(toImage(previewPicture(f, frameImage(project_, index).get())), {f.Left, f.Top});
    if (takeRenderProblems())
        showLog();
}

void TAVIForm::sizeCanvas(bool shown)
{
    canvas_->setSurfaceSize(project_.settings.Width, project_.settings.Height);
    // a canvas without size would show nothing but its bevel
    canvas_->setVisible(shown && project_.settings.Width > 0 && project_.settings.Height > 0);
}

void TAVIForm::afterEdit(const EditResult& result)
{
    if (result.canvasChanged || !project_.settings.FixAtFirstFrame)
        sizeCanvas(true);
    showSizeStatus();
    mirrorProject(project_.selection.first());
    showErrors(result.errors);
}

QString TAVIForm::statusText(int index) const
{
    return statusPanels_.text(index);
}

void TAVIForm::showProjectName(const QString& name)
{
    statusPanels_.setText(0, name);
}

void TAVIForm::showSizeStatus()
{
    statusPanels_.setText(
        2, QString::fromStdString(sizeText(project_.settings.Width, project_.settings.Height)));
}

void TAVIForm::showFrameStatus()
{
    statusPanels_.setText(3, QString::fromStdString(playbackText(project_.totalTime())));
    statusPanels_.setText(4, QString::fromStdString(frameCountText(project_.frames.count())));
}

// Shown again exactly when a project is made or opened or its options
// change; the features follow with their own captions.
void TAVIForm::showTypeTexts()
{
    statusPanels_.setText(1, QString::fromStdString(typeText(project_.settings.Type)));
    emit typeShown();
}

}  // namespace pelko
