// TAVIForm's editing commands on the frame list (Add, Insert, Delete, Up,
// Down, Select All, Refresh), the strip's clicks, dropped files and dragging
// the frame in the preview.

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollArea>
#include <QUrl>

#include "engine/project/editing.h"
#include "gui/app/main_window.h"
#include "gui/app/progress_dialog.h"
#include "gui/app/wait_guard.h"
#include "gui/frames/frame_strip.h"
#include "gui/frames/preview_canvas.h"

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

void TAVIForm::connectEditCommands()
{
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
        const Point p = clampDrag(place.x(), place.y(), picture.width(), picture.height(),
                                         project_.settings.Width, project_.settings.Height);
        return QPoint(p.x, p.y);
    };
    canvas_->dropped = [this](QPoint place) {
        dropPreviewFrame(project_, {place.x(), place.y()});
        applyEnabling();
    };
}

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
