// TAVIForm's project and editing commands: each runs its dialog, calls the
// engine operation and shows the project as it is afterwards.

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>

#include "engine/project/editing.h"
#include "engine/project/project_file.h"
#include "engine/project/project_options.h"
#include "gui/app/avi_form.h"
#include "gui/app/frame_strip.h"
#include "gui/app/picture_image.h"
#include "gui/app/preview_canvas.h"
#include "gui/app/progress_dialog.h"
#include "gui/app/wait_guard.h"

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

void TAVIForm::setSourceReader(std::unique_ptr<SourceReader> reader)
{
    reader_ = std::move(reader);
}

void TAVIForm::connectProjectCommands()
{
    connect(ActionOpen, &QAction::triggered, this, &TAVIForm::ActionOpenExecute);
    connect(ActionSave, &QAction::triggered, this, &TAVIForm::ActionSaveExecute);
    connect(ActionSaveAs, &QAction::triggered, this, &TAVIForm::ActionSaveAsExecute);
    connect(ActionProjectOptions, &QAction::triggered, this, &TAVIForm::ActionProjectOptionsExecute);
    connect(ActionAdd, &QAction::triggered, this, &TAVIForm::ActionAddExecute);
    connect(ActionInsert, &QAction::triggered, this, &TAVIForm::ActionInsertExecute);
    connect(ActionDelete, &QAction::triggered, this, &TAVIForm::ActionDeleteExecute);
    connect(ActionUp, &QAction::triggered, this, &TAVIForm::ActionUpExecute);
    connect(ActionDown, &QAction::triggered, this, &TAVIForm::ActionDownExecute);
    connect(ActionSelectAll, &QAction::triggered, this, &TAVIForm::ActionSelectAllExecute);
    connect(ActionRefresh, &QAction::triggered, this, &TAVIForm::ActionRefreshExecute);

    canvas_->canDrag = [this](QPoint& stored) {
        const int i = project_.selection.first();
        if (i < 0 || i >= project_.frames.count())
            return false;
        const FrameRecord& f = project_.frames[std::size_t(i)];
        stored = {f.Left, f.Top};
        return true;
    };
    canvas_->clamp = [this](QPoint place) {
        const QImage& picture = canvas_->picture();
        const Point p = clampPreviewDrag(place.x(), place.y(), picture.width(), picture.height(),
                                         project_.settings.Width, project_.settings.Height);
        return QPoint(p.x, p.y);
    };
    canvas_->dropped = [this](QPoint place) {
        dropPreviewFrame(project_, {place.x(), place.y()});
        applyEnabling();
    };
}

// ---- showing the project ----

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
    const FrameRecord& f = project_.frames[std::size_t(index)];
    canvas_->setPicture(toImage(previewPicture(f)), {f.Left, f.Top});
}

void TAVIForm::sizeCanvas(bool shown)
{
    canvas_->setSurfaceSize(project_.settings.Width, project_.settings.Height);
    canvas_->setVisible(shown);
}

void TAVIForm::afterEdit(const EditResult& result)
{
    if (result.canvasChanged || !project_.settings.FixAtFirstFrame)
        sizeCanvas(true);
    showSizeStatus();
    mirrorProject(project_.selection.first());
    for (const std::string& e : result.errors) dialogs_->error(this, QString::fromStdString(e), false);
}

// ---- project commands ----

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

// ---- editing commands ----

void TAVIForm::ActionAddExecute()
{
    const QStringList paths = dialogs_->pictureFiles(this);
    if (!paths.isEmpty())
        addPictures(paths);
}

void TAVIForm::addPictures(const QStringList& paths)
{
    guarded([&] {
        EditResult result;
        {
            WaitGuard wait(frameStrip_);
            ProgressDialog progress(this, project_, "Add");
            result = addFiles(project_, toStd(paths), *reader_, progress);
        }
        afterEdit(result);
        scrollStripTo(cards_->contentHeight());
    });
}

void TAVIForm::dropPictures(const QStringList& paths)
{
    guarded([&] {
        EditResult result;
        {
            WaitGuard wait(frameStrip_);
            ProgressDialog progress(this, project_, "Add");
            result = dropFiles(project_, toStd(paths), *reader_, progress);
        }
        afterEdit(result);
        scrollStripTo(cards_->contentHeight());
    });
}

void TAVIForm::ActionInsertExecute()
{
    if (project_.selection.empty())
        return;
    const QStringList paths = dialogs_->pictureFiles(this);
    if (!paths.isEmpty())
        insertPictures(paths);
}

void TAVIForm::insertPictures(const QStringList& paths)
{
    guarded([&] {
        const int at = project_.selection.first();
        if (at < 0)
            return;
        EditResult result;
        {
            WaitGuard wait(frameStrip_);
            ProgressDialog progress(this, project_, "Insert");
            result = insertFiles(project_, toStd(paths), *reader_, progress);
        }
        afterEdit(result);
        scrollStripTo((at + result.added - 1) * kCardStep + kCardMargin);
    });
}

void TAVIForm::ActionDeleteExecute()
{
    guarded([this] {
        {
            WaitGuard wait(frameStrip_);
            deleteSelected(project_);
        }
        mirrorProject(-1);
    });
}

void TAVIForm::ActionUpExecute()
{
    guarded([this] {
        if (!moveUp(project_))
            return;
        const int m = project_.selection.first();
        mirrorProject(m);
        scrollStripTo((m - 1) * kCardStep + kCardMargin);
    });
}

void TAVIForm::ActionDownExecute()
{
    guarded([this] {
        if (!moveDown(project_))
            return;
        const int m = project_.selection.first();
        mirrorProject(m);
        scrollStripTo((m - 1) * kCardStep + kCardMargin);
    });
}

void TAVIForm::ActionSelectAllExecute()
{
    selectAll(project_);
    mirrorProject(project_.selection.first());
}

void TAVIForm::ActionRefreshExecute()
{
    guarded([this] {
        EditResult result;
        {
            WaitGuard wait(previewArea_);
            ProgressDialog progress(this, project_, "Refresh", false);
            result = refreshSelected(project_, *reader_, progress);
        }
        afterEdit(result);
    });
}

// ---- the strip and dropped files ----

void TAVIForm::cardReleased(int index, Qt::KeyboardModifiers modifiers, Qt::MouseButton button)
{
    const bool add = modifiers & (Qt::ShiftModifier | Qt::ControlModifier);
    mirrorProject(clickCard(project_, index, add, button == Qt::RightButton));
}

void TAVIForm::emptyStripReleased(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    clickEmptyStrip(project_);
    mirrorProject(-1);
}

void TAVIForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptDrops() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TAVIForm::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    event->acceptProposedAction();
    if (!paths.isEmpty())
        dropPictures(paths);
}

}  // namespace pelko
