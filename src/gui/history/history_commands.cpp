#include "gui/history/history_commands.h"

#include <QAction>
#include <QDockWidget>
#include <QListWidget>
#include <QScrollArea>

#include "engine/project/editing.h"
#include "gui/app/frame_strip.h"
#include "gui/app/main_window.h"

namespace pelko {

namespace {

constexpr const char* kStart = "(start)";

// Goes to the state after the first done steps and shows it, with the
// frames the last step moved through selected.
void moveTo(TAVIForm& w, std::size_t done)
{
    w.rail().run([&] {
        UndoHistory& steps = w.history().steps();
        if (done == steps.done())
            return;
        w.history().moving();
        const std::int32_t type = w.project().settings.Type;
        steps.jumpTo(w.project(), done);
        EditResult shown;
        shown.canvasChanged = true;
        w.afterEdit(shown);
        if (w.project().settings.Type != type)
            w.showTypeTexts();
        const int first = w.project().selection.first();
        if (first >= 0)
            w.scrollStripTo(first * kCardStep + kCardMargin);
    });
}

// The captions name the steps; the panel lists them with the current one.
void showSteps(TAVIForm& w, QAction* undo, QAction* redo, QListWidget* list)
{
    const UndoHistory& steps = w.history().steps();
    undo->setEnabled(steps.canUndo());
    redo->setEnabled(steps.canRedo());
    undo->setText(steps.canUndo() ? "Undo " + QString::fromStdString(steps.undoName()) : QString("Undo"));
    redo->setText(steps.canRedo() ? "Redo " + QString::fromStdString(steps.redoName()) : QString("Redo"));
    for (QAction* a : {undo, redo}) {
        a->setToolTip(a->text());
        a->setStatusTip(a->text());
    }
    const QSignalBlocker quiet(list);
    if (list->count() != int(steps.size()) + 1 || list->count() == 1) {
        list->clear();
        list->addItem(kStart);
        for (std::size_t i = 0; i < steps.size(); ++i) list->addItem(QString::fromStdString(steps.name(i)));
    } else {
        for (std::size_t i = 0; i < steps.size(); ++i)
            list->item(int(i) + 1)->setText(QString::fromStdString(steps.name(i)));
    }
    list->setCurrentRow(int(steps.done()));
}

}  // namespace

QListWidget* historyList(TAVIForm& window)
{
    return window.findChild<QListWidget*>("historyList");
}

void installHistoryCommands(TAVIForm& window)
{
    CommandRegistry& c = window.commands();
    QAction* undo = c.add(
        {.id = "ActionUndo", .caption = "Undo", .keys = keys("Ctrl+Z"), .execute = [](TAVIForm& w, bool) {
             if (w.history().steps().canUndo())
                 moveTo(w, w.history().steps().done() - 1);
         }});
    QAction* redo = c.add({.id = "ActionRedo",
                           .caption = "Redo",
                           .keys = keys("Ctrl+Shift+Z", "Ctrl+Y"),
                           .execute = [](TAVIForm& w, bool) {
                               if (w.history().steps().canRedo())
                                   moveTo(w, w.history().steps().done() + 1);
                           }});

    auto* dock = new QDockWidget("History", &window);
    dock->setObjectName("historyPanel");
    auto* list = new QListWidget(dock);
    list->setObjectName("historyList");
    dock->setWidget(list);
    window.addDockWidget(Qt::RightDockWidgetArea, dock);
    dock->hide();
    QAction* panel = c.add({.id = "ActionHistory",
                            .caption = "History",
                            .hint = "The steps that Undo and Redo go through",
                            .checkable = true,
                            .execute = [dock](TAVIForm&, bool checked) { dock->setVisible(checked); }});
    QObject::connect(dock, &QDockWidget::visibilityChanged, panel,
                     [panel, dock] { panel->setChecked(dock->isVisible()); });
    QObject::connect(list, &QListWidget::currentRowChanged, &window, [&window](int row) {
        if (row >= 0)
            moveTo(window, std::size_t(row));
    });
    QObject::connect(&window, &TAVIForm::enablingApplied, list,
                     [&window, undo, redo, list] { showSteps(window, undo, redo, list); });
}

}  // namespace pelko
