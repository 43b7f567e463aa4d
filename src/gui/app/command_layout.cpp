#include "gui/app/command_layout.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "gui/app/command_registry.h"

namespace pelko {
namespace {

enum class Place {
    Item,       // the command of id
    Separator,  //
    Menu,       // a menu (in the menu bar, or a submenu) named id with caption text, up to End
    Popup,      // a menu of its own named id (the strip's pop-up, a button's drop-down), up to End
    End,        //
    Proxy,      // the command of id under the caption text
    Bar,        // a tool bar named id, up to End
    Break,      // the tool bars that follow go on a new row
    Button,     // the drop-down tool button id of kButtons
};

struct Line {
    Place place;
    const char* id = nullptr;
    const char* text = nullptr;
};

// clang-format off
constexpr Line kLayout[] = {
    {Place::Menu, "fileMenu", "&File"},
        {Place::Item, "ActionNew"}, {Place::Item, "ActionOpen"}, {Place::Item, "ActionSave"},
        {Place::Item, "ActionSaveAs"},
        {Place::Separator},
        {Place::Item, "ActionSaveFrame"}, {Place::Item, "ActionCopy"},
        {Place::Separator},
        {Place::Item, "ActionGenerate"},
        {Place::Separator},
        {Place::Item, "ActionProjectOptions"},
        {Place::Separator},
        {Place::Menu, "reopenMenu", "Reopen"}, {Place::End},  // its items are the window's
        {Place::Separator},
        {Place::Item, "ActionExit"},
    {Place::End},
    {Place::Menu, "editMenu", "&Edit"},
        {Place::Item, "ActionUndo"}, {Place::Item, "ActionRedo"},
        {Place::Separator},
        {Place::Item, "ActionAdd"}, {Place::Item, "ActionInsert"}, {Place::Item, "ActionDelete"},
        {Place::Separator},
        {Place::Item, "ActionRefresh"},
        {Place::Separator},
        {Place::Item, "ActionUp"}, {Place::Item, "ActionDown"},
        {Place::Separator},
        {Place::Item, "ActionFrameOptions"}, {Place::Item, "ActionOptimizeColor"},
        {Place::Separator},
        {Place::Item, "ActionInsertWav"},
        {Place::Separator},
        {Place::Item, "ActionSelectAll"},
        {Place::Separator},
        {Place::Item, "ActionFrameOrigin"},
        {Place::Separator},
        {Place::Item, "ActionHistory"},
    {Place::End},
    {Place::Menu, "effectsMenu", "Effe&cts"},
        {Place::Item, "ActionClone"}, {Place::Item, "ActionAddText"}, {Place::Item, "ActionAlpha"},
        {Place::Separator},
        {Place::Menu, "flipMenu", "Flip frame"},
            {Place::Item, "ActionFlip0"}, {Place::Item, "ActionFlip1"}, {Place::Item, "ActionFlip2"},
            {Place::Item, "ActionFlip3"},
        {Place::End},
        {Place::Menu, "convertMenu", "Convert frame to"},
            {Place::Item, "ActionConvert0"}, {Place::Item, "ActionConvert1"}, {Place::Item, "ActionConvert2"},
        {Place::End},
    {Place::End},
    {Place::Menu, "animationMenu", "&Animation"},
        {Place::Item, "ActionTrim"}, {Place::Item, "ActionRemoveDuplicates"},
        {Place::Separator},
        {Place::Item, "ActionSpeed"}, {Place::Item, "ActionFrameTime"}, {Place::Item, "ActionDropEvery"},
        {Place::Separator},
        {Place::Item, "ActionSelectRange"}, {Place::Item, "ActionDeleteRange"},
        {Place::Separator},
        {Place::Item, "ActionReverse"}, {Place::Item, "ActionYoyo"},
        {Place::Separator},
        {Place::Item, "ActionCropCanvas"}, {Place::Item, "ActionResizeAnimation"},
    {Place::End},
    {Place::Menu, "playMenu", "&Play"},
        {Place::Item, "ActionRunAvi"}, {Place::Item, "ActionRunGif"}, {Place::Item, "ActionPause"},
        {Place::Item, "ActionStop"},
    {Place::End},
    {Place::Menu, "toolMenu", "&Tool"},
        {Place::Item, "ActionCapture"},
    {Place::End},
    {Place::Menu, "helpMenu", "&Help"},
        {Place::Item, "ActionHelp"}, {Place::Item, "ActionAbout"},
    {Place::End},

    {Place::Popup, "stripMenu"},
        {Place::Item, "ActionAdd"}, {Place::Item, "ActionInsert"}, {Place::Item, "ActionDelete"},
        {Place::Separator},
        {Place::Item, "ActionRefresh"},
        {Place::Separator},
        {Place::Item, "ActionUp"}, {Place::Item, "ActionDown"},
        {Place::Separator},
        {Place::Item, "ActionFrameOptions"}, {Place::Item, "ActionOptimizeColor"},
        {Place::Separator},
        {Place::Item, "ActionSelectAll"},
        {Place::Separator},
        {Place::Proxy, "ActionFrameOrigin", "Frame info"},
    {Place::End},
    // the preview's pop-up
    {Place::Popup, "previewMenu"},
        {Place::Item, "ActionSaveFrame"}, {Place::Separator}, {Place::Item, "ActionCopy"},
    {Place::End},
    // the Run button's drop-down: its own captions, with the keys of the Play
    // menu's items shown beside them (the keys stay with those items)
    {Place::Popup, "runMenu"},
        {Place::Item, "ItemTestAVI"}, {Place::Item, "ItemTestGIF"},
    {Place::End},
    // the flip button's drop-down: the submenu's entries, the last one short
    {Place::Popup, "flipDropDown"},
        {Place::Item, "ActionFlip0"}, {Place::Item, "ActionFlip1"}, {Place::Item, "ActionFlip2"},
        {Place::Proxy, "ActionFlip3", "Horiz/Vert"},
    {Place::End},

    {Place::Bar, "project"},
        {Place::Item, "ActionNew"}, {Place::Item, "ActionOpen"},
        {Place::Separator},
        {Place::Item, "ActionProjectOptions"},
        {Place::Separator},
        {Place::Item, "ActionSave"}, {Place::Item, "ActionSaveAs"},
    {Place::End},
    {Place::Bar, "generate"},
        {Place::Item, "ActionGenerate"},
    {Place::End},
    {Place::Bar, "run"},
        {Place::Button, "ToolButRun"}, {Place::Item, "ActionPause"}, {Place::Item, "ActionStop"},
    {Place::End},
    {Place::Break},
    {Place::Bar, "edit"},
        {Place::Item, "ActionAdd"}, {Place::Item, "ActionInsert"}, {Place::Item, "ActionDelete"},
        {Place::Separator},
        {Place::Item, "ActionUp"}, {Place::Item, "ActionDown"},
        {Place::Separator},
        {Place::Item, "ActionRefresh"},
        {Place::Separator},
        {Place::Item, "ActionFrameOptions"}, {Place::Item, "ActionOptimizeColor"},
        {Place::Separator},
        {Place::Item, "ActionInsertWav"},
        {Place::Separator},
        {Place::Item, "ActionSelectAll"},
        {Place::Separator},
        {Place::Item, "ActionFrameOrigin"},
    {Place::End},
    {Place::Bar, "effects"},
        {Place::Item, "ActionClone"}, {Place::Item, "ActionAddText"}, {Place::Item, "ActionAlpha"},
        {Place::Separator},
        {Place::Button, "flipButton"}, {Place::Button, "convertButton"},
    {Place::End},
    {Place::Bar, "frame"},
        {Place::Item, "ActionSaveFrame"}, {Place::Item, "ActionCopy"},
    {Place::End},
};
// clang-format on

// The drop-down tool buttons: the button's click runs one command, its
// arrow opens a menu of the layout.
struct ButtonLine {
    const char* name;
    const char* actionName;  // the tool bar's action that holds it
    const char* tip;
    IconKind icon;
    const char* menu;
    const char* click;
};

constexpr ButtonLine kButtons[] = {
    {"ToolButRun", "runButtonAction", "Run as AVI", IconKind::Run, "runMenu", "ActionRun"},
    {"flipButton", "flipButtonAction", "Flip frame (Normal)", IconKind::Flip, "flipDropDown", "ActionFlip0"},
    {"convertButton", "convertButtonAction", "Convert frame to (Normal)", IconKind::Convert, "convertMenu",
     "ActionConvert0"},
};

QAction* must(CommandRegistry& commands, const char* id)
{
    QAction* a = commands.action(QString::fromLatin1(id));
    if (!a)
        qFatal("the layout names the command %s, which no feature registered", id);
    return a;
}

// The command under another caption; it follows the command's state.
QAction* proxyOf(QAction* original, const QString& caption, QMenu* menu)
{
    QAction* proxy = menu->addAction(caption);
    proxy->setCheckable(original->isCheckable());
    if (original->isCheckable()) {
        // a group of its own, so it is drawn as a radio item like its siblings
        auto* group = new QActionGroup(menu);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        group->addAction(proxy);
    }
    QObject::connect(proxy, &QAction::triggered, original, &QAction::trigger);
    QObject::connect(original, &QAction::changed, proxy, [original, proxy] {
        proxy->setEnabled(original->isEnabled());
        proxy->setVisible(original->isVisible());
        proxy->setChecked(original->isChecked());
    });
    return proxy;
}

QToolButton* makeButton(CommandRegistry& commands, const ButtonLine& line)
{
    auto* button = new QToolButton;
    button->setObjectName(line.name);
    button->setIcon(drawnIcon(line.icon));
    button->setToolTip(line.tip);
    button->setMenu(commands.menu(line.menu));
    button->setPopupMode(QToolButton::MenuButtonPopup);
    button->setAutoRaise(true);
    QAction* click = must(commands, line.click);
    QObject::connect(button, &QToolButton::clicked, click, [click] { click->activate(QAction::Trigger); });
    QObject::connect(click, &QAction::changed, button,
                     [click, button] { button->setEnabled(click->isEnabled()); });
    commands.addButton(button);
    return button;
}

bool offersSomething(const QMenu* menu)
{
    for (const QAction* a : menu->actions()) {
        if (a->isSeparator() || !a->isVisible())
            continue;
        if (!a->menu() || offersSomething(a->menu()))
            return true;
    }
    return false;
}

}  // namespace

void CommandLayout::build(QMainWindow& window, CommandRegistry& commands)
{
    // The menus first, so the buttons find their drop-downs.
    QList<QMenu*> open;  // the menus being filled, innermost last
    bool inBar = false;  // the tool bars come second
    for (const Line& line : kLayout) {
        if (line.place == Place::Bar || inBar) {
            inBar = line.place != Place::End;
            continue;
        }
        switch (line.place) {
            case Place::Menu: {
                QMenu* menu = commands.menu(line.id);
                menu->setTitle(line.text);
                if (open.isEmpty()) {
                    window.menuBar()->addMenu(menu);
                } else {
                    open.last()->addMenu(menu);
                }
                menus_ << menu;
                open << menu;
                break;
            }
            case Place::Popup:
                open << commands.menu(line.id);
                break;
            case Place::End: {
                // a submenu of commands is enabled while any of them is
                QMenu* closed = open.takeLast();
                if (!open.isEmpty() && !closed->actions().isEmpty())
                    commands.followItems(closed);
                break;
            }
            case Place::Item:
                open.last()->addAction(must(commands, line.id));
                break;
            case Place::Separator:
                open.last()->addSeparator();
                break;
            case Place::Proxy:
                proxyOf(must(commands, line.id), line.text, open.last());
                break;
            default:
                break;
        }
    }
    QToolBar* bar = nullptr;
    int bars = 0;
    for (const Line& line : kLayout) {
        switch (line.place) {
            case Place::Bar:
                bar = new QToolBar(QString(line.id), &window);
                bar->setObjectName(QString(line.id) + "Bar");
                bar->setIconSize(QSize(16, 16));
                bar->setMovable(false);
                bar->setFloatable(false);
                window.addToolBar(Qt::TopToolBarArea, bar);
                toolBars_.at(std::size_t(bars++)) = bar;
                break;
            case Place::Break:
                window.addToolBarBreak();
                break;
            case Place::End:
                bar = nullptr;
                break;
            case Place::Item:
                if (bar)
                    bar->addAction(must(commands, line.id));
                break;
            case Place::Separator:
                if (bar)
                    bar->addSeparator();
                break;
            case Place::Button:
                for (const ButtonLine& b : kButtons)
                    if (QString(b.name) == line.id)
                        bar->addWidget(makeButton(commands, b))->setObjectName(b.actionName);
                break;
            default:
                break;
        }
    }
}

void CommandLayout::showOffered(bool projectSetUp)
{
    for (QMenu* menu : menus_)
        if (menu->objectName() != "reopenMenu")
            menu->menuAction()->setVisible(offersSomething(menu));
    for (int i = 0; i < kToolBarCount; ++i) {
        QToolBar* bar = toolBars_[std::size_t(i)];
        bool offers = false;
        for (const QAction* a : bar->actions()) offers = offers || (!a->isSeparator() && a->isVisible());
        bar->setVisible(offers && (i == 0 || projectSetUp));
    }
}

}  // namespace pelko
