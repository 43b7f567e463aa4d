// TAVIForm's editing commands on the frame list (Add, Insert, Delete, Up,
// Down, Select All, Refresh), the strip's clicks, dropped files and dragging
// the frame in the preview.

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollArea>
#include <QUrl>

#include "engine/project/editing.h"
#include "engine/project/strip_keys.h"
#include "gui/app/main_window.h"
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
    rail_.run([this] {
        const QStringList paths = dialogs_->pictureFiles(this);
        if (!paths.isEmpty())
            addPictures(paths);
    });
}

void TAVIForm::addPictures(const QStringList& paths)
{
    appendPictures(paths, addFiles);
}

void TAVIForm::dropPictures(const QStringList& paths)
{
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

void TAVIForm::ActionInsertExecute()
{
    rail_.run([this] {
        if (project_.selection.empty())
            return;
        const QStringList paths = dialogs_->pictureFiles(this);
        if (!paths.isEmpty())
            insertPictures(paths);
    });
}

void TAVIForm::insertPictures(const QStringList& paths)
{
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

void TAVIForm::ActionDeleteExecute()
{
    rail_.run([this] {
        rail_.work({frameStrip_}, [this](ProgressSink&) { deleteSelected(project_); });
        mirrorProject(-1);
    });
}

void TAVIForm::ActionUpExecute()
{
    moveSelectedFrame(-1);
}

void TAVIForm::ActionDownExecute()
{
    moveSelectedFrame(+1);
}

void TAVIForm::moveSelectedFrame(int step)
{
    rail_.run([this, step] {
        if (!(step < 0 ? moveUp(project_) : moveDown(project_)))
            return;
        const int m = project_.selection.first();
        mirrorProject(m);
        scrollStripTo((m - 1) * kCardStep + kCardMargin);
    });
}

void TAVIForm::ActionSelectAllExecute()
{
    rail_.run([this] {
        selectAll(project_);
        mirrorProject(project_.selection.first());
    });
}

void TAVIForm::ActionRefreshExecute()
{
    rail_.run([this] {
        const EditResult result = rail_.work({previewArea_, "Refresh"}, [this](ProgressSink& progress) {
            return refreshSelected(project_, *reader_, progress);
        });
        afterEdit(result);
    });
}

// ---- the strip and dropped files ----

void TAVIForm::cardReleased(int index, Qt::KeyboardModifiers modifiers, Qt::MouseButton button)
{
    const bool add = modifiers & (Qt::ShiftModifier | Qt::ControlModifier);
    mirrorProject(clickCard(project_, index, add, button == Qt::RightButton));
}

void TAVIForm::stripContextMenu(const QPoint& pos)
{
    // a right click on a frame that is not selected selects that frame alone
    // before the menu offers commands on the selection
    // (the scroll area reports the place in its viewport's coordinates)
    const int i = cards_->cardAt(cards_->mapFrom(frameStrip_->viewport(), pos));
    if (i >= 0 && !project_.selection.contains(i))
        mirrorProject(clickCard(project_, i, false, true));
    stripMenu_->popup(frameStrip_->viewport()->mapToGlobal(pos));
}

void TAVIForm::stripKeyPressed(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return;
    if (key == Qt::Key_Delete) {
        if (ActionDelete->isEnabled())
            ActionDelete->trigger();
        return;
    }
    StripKey move;
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            move = StripKey::Previous;
            break;
        case Qt::Key_Down:
        case Qt::Key_Right:
            move = StripKey::Next;
            break;
        case Qt::Key_Home:
            move = StripKey::First;
            break;
        case Qt::Key_End:
            move = StripKey::Last;
            break;
        default:
            return;
    }
    rail_.run([this, move] {
        const int shown = selectByKey(project_, move);
        mirrorProject(shown);
        if (shown >= 0) {
            const QRect card = FrameStrip::cardRect(shown);
            frameStrip_->ensureVisible(card.center().x(), card.center().y(), 0,
                                       card.height() / 2 + kCardMargin);
        }
    });
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
