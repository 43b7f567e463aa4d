// The editing commands on the frame list (Add, Insert, Delete, Up, Down,
// Select All, Refresh), the strip's clicks and keys, and dragging the frame
// in the preview.

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollArea>
#include <QUrl>

#include "engine/project/editing.h"
#include "engine/rules/strip_keys.h"
#include "gui/app/frame_strip.h"
#include "gui/app/main_window.h"
#include "gui/app/preview_canvas.h"
#include "gui/frames/frame_commands.h"

namespace pelko {

namespace {

void addCommand(TAVIForm& w)
{
    w.rail().run([&w] {
        const QStringList paths = w.dialogs().pictureFiles(&w);
        if (!paths.isEmpty())
            w.addPictures(paths);
    });
}

void insertCommand(TAVIForm& w)
{
    w.rail().run([&w] {
        if (w.project().selection.empty())
            return;
        const QStringList paths = w.dialogs().pictureFiles(&w);
        if (!paths.isEmpty())
            w.insertPictures(paths);
    });
}

void deleteCommand(TAVIForm& w)
{
    w.rail().run([&w] {
        w.rail().work({w.frameStrip()}, [&w](ProgressSink&) { deleteSelected(w.project()); });
        w.mirrorProject(-1);
    });
}

// Up (-1) and Down (+1).
void moveCommand(TAVIForm& w, int step)
{
    w.rail().run([&w, step] {
        if (!(step < 0 ? moveUp(w.project()) : moveDown(w.project())))
            return;
        const int m = w.project().selection.first();
        w.mirrorProject(m);
        w.scrollStripTo((m - 1) * kCardStep + kCardMargin);
    });
}

void refreshCommand(TAVIForm& w)
{
    w.rail().run([&w] {
        const EditResult result = w.rail().work({w.previewArea(), "Refresh"}, [&w](ProgressSink& progress) {
            return refreshSelected(w.project(), w.reader(), progress);
        });
        w.afterEdit(result);
    });
}

void stepSelection(TAVIForm& w, StripKey move)
{
    w.rail().run([&w, move] {
        const int shown = selectByKey(w.project(), move);
        w.mirrorProject(shown);
        if (shown >= 0) {
            const QRect card = FrameStrip::cardRect(shown);
            w.frameStrip()->ensureVisible(card.center().x(), card.center().y(), 0,
                                          card.height() / 2 + kCardMargin);
        }
    });
}

// Files dropped on the window go to the end of the list, as Add puts them.
class DroppedFiles : public QObject {
public:
    explicit DroppedFiles(TAVIForm& w) : QObject(&w), w_(w) { w.installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::DragEnter) {
            auto* enter = static_cast<QDragEnterEvent*>(event);
            if (w_.acceptDrops() && enter->mimeData()->hasUrls())
                enter->acceptProposedAction();
            return true;
        }
        if (event->type() != QEvent::Drop)
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        QStringList paths;
        for (const QUrl& url : drop->mimeData()->urls())
            if (url.isLocalFile())
                paths << url.toLocalFile();
        drop->acceptProposedAction();
        if (!paths.isEmpty())
            w_.dropPictures(paths);
        return true;
    }

private:
    TAVIForm& w_;
};

void connectStrip(TAVIForm& w)
{
    FrameStrip* cards = w.frameCards();
    QObject::connect(cards, &FrameStrip::cardReleased, &w,
                     [&w](int index, Qt::KeyboardModifiers modifiers, Qt::MouseButton button) {
                         const bool add = modifiers & (Qt::ShiftModifier | Qt::ControlModifier);
                         w.mirrorProject(clickCard(w.project(), index, add, button == Qt::RightButton));
                     });
    QObject::connect(cards, &FrameStrip::emptyReleased, &w, [&w](Qt::MouseButton button) {
        if (button != Qt::LeftButton)
            return;
        clickEmptyStrip(w.project());
        w.mirrorProject(-1);
    });
    QObject::connect(cards, &FrameStrip::deleteRequested, &w, [&w] {
        if (QAction* a = w.action("ActionDelete"); a->isEnabled())
            a->trigger();
    });
    QObject::connect(cards, &FrameStrip::moveRequested, &w, [&w](StripKey key) { stepSelection(w, key); });

    PreviewCanvas* canvas = w.previewCanvas();
    canvas->canDrag = [&w](QPoint& stored) {
        const Project& project = w.project();
        const int i = project.selection.first();
        if (i < 0 || i >= project.frames.count())
            return false;
        const FrameRecord& f = project.frames[std::size_t(i)];
        stored = {f.Left, f.Top};
        return true;
    };
    canvas->clamp = [&w, canvas](QPoint place) {
        const QImage& picture = canvas->picture();
        const Point p = clampDrag(place.x(), place.y(), picture.width(), picture.height(),
                                  w.project().settings.Width, w.project().settings.Height);
        return QPoint(p.x, p.y);
    };
    canvas->dropped = [&w](QPoint place) {
        w.history().name("Move frame");
        w.rail().run([&] { dropPreviewFrame(w.project(), {place.x(), place.y()}); });
    };
}

}  // namespace

void installEditCommands(TAVIForm& window)
{
    CommandRegistry& c = window.commands();
    c.add({.id = "ActionAdd",
           .caption = "Add",
           .keys = keys("Ctrl+A"),
           .icon = IconKind::Add,
           .enabled = enabled::project,
           .execute = [](TAVIForm& w, bool) { addCommand(w); },
           .undoName = "Add %n"});
    c.add({.id = "ActionInsert",
           .caption = "Insert",
           .keys = keys("Ctrl+I"),
           .icon = IconKind::Insert,
           .enabled = enabled::selected,
           .execute = [](TAVIForm& w, bool) { insertCommand(w); },
           .undoName = "Insert %n"});
    c.add({.id = "ActionDelete",
           .caption = "Delete",
           .keys = keys("Ctrl+D"),
           .icon = IconKind::Delete,
           .enabled = enabled::selected,
           .execute = [](TAVIForm& w, bool) { deleteCommand(w); },
           .undoName = "Delete %n"});
    c.add({.id = "ActionRefresh",
           .caption = "Refresh",
           .hint = "Refresh frame",
           .keys = keys("F5"),
           .icon = IconKind::Refresh,
           .enabled = enabled::selected,
           .execute = [](TAVIForm& w, bool) { refreshCommand(w); },
           .undoName = "Refresh %n"});
    c.add({.id = "ActionUp",
           .caption = "Up",
           .keys = keys("Ctrl+U"),
           .icon = IconKind::Up,
           .enabled = [](const CommandEnabling& e) { return e.up; },
           .execute = [](TAVIForm& w, bool) { moveCommand(w, -1); }});
    c.add({.id = "ActionDown",
           .caption = "Down",
           .keys = keys("Ctrl+B"),
           .icon = IconKind::Down,
           .enabled = [](const CommandEnabling& e) { return e.down; },
           .execute = [](TAVIForm& w, bool) { moveCommand(w, +1); }});
    c.add({.id = "ActionSelectAll",
           .caption = "Select All",
           .icon = IconKind::SelectAll,
           .enabled = enabled::listNotEmpty,
           .execute = [](TAVIForm& w, bool) {
               w.rail().run([&w] {
                   selectAll(w.project());
                   w.mirrorProject(w.project().selection.first());
               });
           }});
    connectStrip(window);
    new DroppedFiles(window);
}

}  // namespace pelko
