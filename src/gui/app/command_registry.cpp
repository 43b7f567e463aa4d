#include "gui/app/command_registry.h"

#include "gui/app/main_window.h"

#include <QAction>
#include <QMainWindow>
#include <QToolButton>

namespace pelko {

CommandRegistry::CommandRegistry(QMainWindow& window, std::function<TAVIForm&()> context)
    : window_(window), context_(std::move(context))
{
}

QAction* CommandRegistry::add(Command c)
{
    auto* a = new QAction(c.caption, &window_);
    a->setObjectName(c.id);
    if (!c.keys.isEmpty())
        a->setShortcuts(c.keys);
    a->setToolTip(c.hint.isEmpty() ? c.caption : c.hint);
    a->setStatusTip(a->toolTip());
    if (c.icon)
        a->setIcon(drawnIcon(*c.icon));
    if (!c.iconText.isEmpty())
        a->setIconText(c.iconText);
    a->setCheckable(c.checkable);
    if (c.execute) {
        const QString step = c.undoName.isEmpty() ? QString(c.caption).remove('&') : c.undoName;
        QObject::connect(a, &QAction::triggered, &window_,
                         [this, step, run = std::move(c.execute)](bool checked) {
                             TAVIForm& w = context_();
                             w.history().name(step);
                             run(w, checked);
                             w.history().forgetName();
                         });
    }
    entries_.push_back({c.enabled, a});
    return a;
}

QAction* CommandRegistry::action(const QString& id) const
{
    for (const Entry& e : entries_)
        if (e.action->objectName() == id)
            return e.action;
    return nullptr;
}

QMenu* CommandRegistry::menu(const QString& name)
{
    QMenu*& menu = menus_[name];
    if (!menu) {
        menu = new QMenu(&window_);
        menu->setObjectName(name);
    }
    return menu;
}

QToolButton* CommandRegistry::button(const QString& name) const
{
    for (QToolButton* b : buttons_)
        if (b->objectName() == name)
            return b;
    return nullptr;
}

void CommandRegistry::applyEnabling(const CommandEnabling& e)
{
    for (const Entry& entry : entries_)
        if (entry.rule)
            entry.action->setEnabled(entry.rule(e));
    for (QMenu* menu : following_) {
        bool any = false;
        for (const QAction* a : menu->actions()) any = any || (!a->isSeparator() && a->isEnabled());
        menu->setEnabled(any);
    }
}

}  // namespace pelko
