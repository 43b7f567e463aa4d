// TAVIForm's commands: the actions with their captions, shortcuts and hints,
// the menus, the tool bars, and which commands are offered and enabled.

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "engine/project/command_enabling.h"
#include "gui/app/icons.h"
#include "gui/app/main_window.h"
#include "gui/playback/playback_controller.h"

namespace pelko {

namespace {

QAction* makeAction(QObject* owner, const QString& caption, const char* shortcut = nullptr,
                    const QString& hint = {})
{
    auto* a = new QAction(caption, owner);
    if (shortcut)
        a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    a->setToolTip(hint.isEmpty() ? caption : hint);
    a->setStatusTip(a->toolTip());
    return a;
}

QAction* makeAction(QObject* owner, IconKind icon, const QString& caption, const char* shortcut = nullptr,
                    const QString& hint = {})
{
    QAction* a = makeAction(owner, caption, shortcut, hint);
    a->setIcon(drawnIcon(icon));
    return a;
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

void TAVIForm::createActions()
{
    // File
    ActionNew = makeAction(this, IconKind::New, "New", "Ctrl+N", "New project");
    ActionOpen = makeAction(this, IconKind::Open, "Open", "Ctrl+O", "Open project");
    ActionSave = makeAction(this, IconKind::Save, "Save project", "Ctrl+S");
    ActionSaveAs = makeAction(this, IconKind::SaveAs, "Save as", nullptr, "Save As");
    ActionSaveFrame = makeAction(this, IconKind::SaveFrame, "Save frame", "Ctrl+F");
    ActionCopy = makeAction(this, IconKind::Copy, "Copy", "Ctrl+C");
    ActionGenerate = makeAction(this, IconKind::Generate, "Generate", "Ctrl+G", "Create & Save");
    ActionGenerate->setIconText("Create && Save");
    ActionProjectOptions = makeAction(this, IconKind::ProjectOptions, "Project options", "Ctrl+P");
    ActionExit = makeAction(this, "Exit", "Ctrl+X");

    // Edit
    ActionAdd = makeAction(this, IconKind::Add, "Add", "Ctrl+A");
    ActionInsert = makeAction(this, IconKind::Insert, "Insert", "Ctrl+I");
    ActionDelete = makeAction(this, IconKind::Delete, "Delete", "Ctrl+D");
    ActionRefresh = makeAction(this, IconKind::Refresh, "Refresh", "F5", "Refresh frame");
    ActionUp = makeAction(this, IconKind::Up, "Up", "Ctrl+U");
    ActionDown = makeAction(this, IconKind::Down, "Down", "Ctrl+B");
    ActionFrameOptions = makeAction(this, IconKind::FrameOptions, "Frame options", "Ctrl+T");
    ActionOptimizeColor = makeAction(this, IconKind::OptimizeColor, "Optimize frame's color", "Ctrl+Alt+C");
    ActionInsertWav =
        makeAction(this, IconKind::Sound, "Add sound into AVI", nullptr, "Add sound into AVI file");
    ActionSelectAll = makeAction(this, IconKind::SelectAll, "Select All");
    ActionFrameOrigin = makeAction(this, IconKind::Info, "Frame origin", nullptr, "Info");

    // Effects. Clone frame takes the shortcut its menu item shows, so that
    // Ctrl+Alt+C stays with "Optimize frame's color" alone.
    ActionClone = makeAction(this, IconKind::Clone, "Clone frame", "Ctrl+Alt+F");
    ActionAddText = makeAction(this, IconKind::Text, "Creeping line", "Ctrl+Alt+T", "Creeping line");
    ActionAddText->setIconText("Add text");
    ActionAlpha = makeAction(this, IconKind::Alpha, "Adding frames with Alpha blending", "Ctrl+Alt+B");
    const char* flips[] = {"Normal", "Horizontal", "Vertical", "Horizontal+Vertical"};
    auto* flipGroup = new QActionGroup(this);
    for (std::size_t i = 0; i < ActionFlip.size(); ++i) {
        ActionFlip[i] = makeAction(this, flips[i]);
        ActionFlip[i]->setCheckable(true);
        flipGroup->addAction(ActionFlip[i]);
    }
    const char* converts[] = {"Normal", "Inverse", "GreyScale"};
    auto* convertGroup = new QActionGroup(this);
    convertGroup->setExclusive(false);  // Inverse and GreyScale may both carry a mark
    for (std::size_t i = 0; i < ActionConvert.size(); ++i) {
        ActionConvert[i] = makeAction(this, converts[i]);
        ActionConvert[i]->setCheckable(true);
        convertGroup->addAction(ActionConvert[i]);
    }

    // Play, Tool, Help
    ActionRunAvi = makeAction(this, "Run as AVI file", "Ctrl+R");
    ActionRunGif = makeAction(this, "Run as animated GIF file", "Ctrl+M");
    ActionRunAvi->setCheckable(true);
    ActionRunGif->setCheckable(true);
    ActionPause = makeAction(this, IconKind::Pause, "Pause", "Ctrl+W");
    ActionStop = makeAction(this, IconKind::Stop, "Stop", "Ctrl+H");
    ActionCapture = makeAction(this, "Capture");
    ActionHelp = makeAction(this, "Content", "F1");
    ActionAbout = makeAction(this, "About");

    const std::pair<QAction*, const char*> named[] = {
        {ActionNew, "ActionNew"},
        {ActionOpen, "ActionOpen"},
        {ActionSave, "ActionSave"},
        {ActionSaveAs, "ActionSaveAs"},
        {ActionSaveFrame, "ActionSaveFrame"},
        {ActionCopy, "ActionCopy"},
        {ActionGenerate, "ActionGenerate"},
        {ActionProjectOptions, "ActionProjectOptions"},
        {ActionExit, "ActionExit"},
        {ActionAdd, "ActionAdd"},
        {ActionInsert, "ActionInsert"},
        {ActionDelete, "ActionDelete"},
        {ActionRefresh, "ActionRefresh"},
        {ActionUp, "ActionUp"},
        {ActionDown, "ActionDown"},
        {ActionFrameOptions, "ActionFrameOptions"},
        {ActionOptimizeColor, "ActionOptimizeColor"},
        {ActionInsertWav, "ActionInsertWav"},
        {ActionSelectAll, "ActionSelectAll"},
        {ActionFrameOrigin, "ActionFrameOrigin"},
        {ActionClone, "ActionClone"},
        {ActionAddText, "ActionAddText"},
        {ActionAlpha, "ActionAlpha"},
        {ActionRunAvi, "ActionRunAvi"},
        {ActionRunGif, "ActionRunGif"},
        {ActionPause, "ActionPause"},
        {ActionStop, "ActionStop"},
        {ActionCapture, "ActionCapture"},
        {ActionHelp, "ActionHelp"},
        {ActionAbout, "ActionAbout"},
    };
    for (const auto& [a, name] : named) a->setObjectName(name);
    for (std::size_t i = 0; i < ActionFlip.size(); ++i)
        ActionFlip[i]->setObjectName(QString("ActionFlip%1").arg(i));
    for (std::size_t i = 0; i < ActionConvert.size(); ++i)
        ActionConvert[i]->setObjectName(QString("ActionConvert%1").arg(i));
    // the desktop's usual Quit key besides the window's own
    ActionExit->setShortcuts({QKeySequence("Ctrl+X"), QKeySequence(QKeySequence::Quit)});

    for (std::size_t i = 0; i < ReopenItems.size(); ++i) {
        ReopenItems[i] = new QAction(this);
        ReopenItems[i]->setObjectName(QString("ReopenItem%1").arg(i + 1));
        connect(ReopenItems[i], &QAction::triggered, this, [this, i] { ReopenItemClick(int(i) + 1); });
    }

    connect(ActionNew, &QAction::triggered, this, &TAVIForm::ActionNewExecute);
    connect(ActionExit, &QAction::triggered, this, &TAVIForm::ActionExitExecute);
    connect(ActionHelp, &QAction::triggered, this, &TAVIForm::ActionHelpExecute);
    connect(ActionAbout, &QAction::triggered, this, &TAVIForm::ActionAboutExecute);
}

void TAVIForm::createMenus()
{
    fileMenu_ = menuBar()->addMenu("&File");
    fileMenu_->addActions({ActionNew, ActionOpen, ActionSave, ActionSaveAs});
    fileMenu_->addSeparator();
    fileMenu_->addActions({ActionSaveFrame, ActionCopy});
    fileMenu_->addSeparator();
    fileMenu_->addAction(ActionGenerate);
    fileMenu_->addSeparator();
    fileMenu_->addAction(ActionProjectOptions);
    fileMenu_->addSeparator();
    reopenMenu_ = fileMenu_->addMenu("Reopen");
    for (QAction* item : ReopenItems) reopenMenu_->addAction(item);
    connect(reopenMenu_, &QMenu::aboutToShow, this, &TAVIForm::ReopenMenuShow);
    fileMenu_->addSeparator();
    fileMenu_->addAction(ActionExit);

    editMenu_ = menuBar()->addMenu("&Edit");
    editMenu_->addActions({ActionAdd, ActionInsert, ActionDelete});
    editMenu_->addSeparator();
    editMenu_->addAction(ActionRefresh);
    editMenu_->addSeparator();
    editMenu_->addActions({ActionUp, ActionDown});
    editMenu_->addSeparator();
    editMenu_->addActions({ActionFrameOptions, ActionOptimizeColor});
    editMenu_->addSeparator();
    editMenu_->addAction(ActionInsertWav);
    editMenu_->addSeparator();
    editMenu_->addAction(ActionSelectAll);
    editMenu_->addSeparator();
    editMenu_->addAction(ActionFrameOrigin);

    effectsMenu_ = menuBar()->addMenu("Effe&cts");
    effectsMenu_->addActions({ActionClone, ActionAddText, ActionAlpha});
    effectsMenu_->addSeparator();
    flipMenu_ = effectsMenu_->addMenu("Flip frame");
    for (QAction* a : ActionFlip) flipMenu_->addAction(a);
    convertMenu_ = effectsMenu_->addMenu("Convert frame to");
    for (QAction* a : ActionConvert) convertMenu_->addAction(a);

    playMenu_ = menuBar()->addMenu("&Play");
    playMenu_->addActions({ActionRunAvi, ActionRunGif, ActionPause, ActionStop});

    toolMenu_ = menuBar()->addMenu("&Tool");
    toolMenu_->addAction(ActionCapture);

    helpMenu_ = menuBar()->addMenu("&Help");
    helpMenu_->addActions({ActionHelp, ActionAbout});

    // The frame strip's pop-up menu, given to the strip with the first project.
    stripMenu_ = new QMenu(this);
    stripMenu_->addActions({ActionAdd, ActionInsert, ActionDelete});
    stripMenu_->addSeparator();
    stripMenu_->addAction(ActionRefresh);
    stripMenu_->addSeparator();
    stripMenu_->addActions({ActionUp, ActionDown});
    stripMenu_->addSeparator();
    stripMenu_->addActions({ActionFrameOptions, ActionOptimizeColor});
    stripMenu_->addSeparator();
    stripMenu_->addAction(ActionSelectAll);
    stripMenu_->addSeparator();
    // "Frame origin" under its pop-up caption
    QAction* frameInfo = stripMenu_->addAction("Frame info");
    connect(frameInfo, &QAction::triggered, ActionFrameOrigin, &QAction::trigger);
    connect(ActionFrameOrigin, &QAction::changed, frameInfo, [this, frameInfo] {
        frameInfo->setEnabled(ActionFrameOrigin->isEnabled());
        frameInfo->setVisible(ActionFrameOrigin->isVisible());
    });
}

void TAVIForm::createToolBars()
{
    const char* names[kToolBarCount] = {"project", "generate", "run", "edit", "effects", "frame"};
    for (int i = 0; i < kToolBarCount; ++i) {
        if (i == 3)
            addToolBarBreak();
        auto* bar = new QToolBar(QString(names[i]), this);
        bar->setObjectName(QString(names[i]) + "Bar");
        bar->setIconSize(QSize(16, 16));
        bar->setMovable(false);
        bar->setFloatable(false);
        addToolBar(Qt::TopToolBarArea, bar);
        toolBars_[std::size_t(i)] = bar;
    }
    QToolBar* project = toolBars_[0];
    project->addActions({ActionNew, ActionOpen});
    project->addSeparator();
    project->addAction(ActionProjectOptions);
    project->addSeparator();
    project->addActions({ActionSave, ActionSaveAs});

    toolBars_[1]->addAction(ActionGenerate);

    runMenu_ = new QMenu(this);
    runMenu_->addActions({ActionRunAvi, ActionRunGif});
    runButton_ = new QToolButton;
    runButton_->setObjectName("ToolButRun");
    runButton_->setIcon(drawnIcon(IconKind::Run));
    runButton_->setToolTip("Run as AVI");
    runButton_->setMenu(runMenu_);
    runButton_->setPopupMode(QToolButton::MenuButtonPopup);
    runButton_->setAutoRaise(true);
    QAction* runButtonAction = toolBars_[2]->addWidget(runButton_);
    runButtonAction->setObjectName("runButtonAction");
    toolBars_[2]->addActions({ActionPause, ActionStop});

    QToolBar* edit = toolBars_[3];
    edit->addActions({ActionAdd, ActionInsert, ActionDelete});
    edit->addSeparator();
    edit->addActions({ActionUp, ActionDown});
    edit->addSeparator();
    edit->addAction(ActionRefresh);
    edit->addSeparator();
    edit->addActions({ActionFrameOptions, ActionOptimizeColor});
    edit->addSeparator();
    edit->addAction(ActionInsertWav);
    edit->addSeparator();
    edit->addAction(ActionSelectAll);
    edit->addSeparator();
    edit->addAction(ActionFrameOrigin);

    QToolBar* effects = toolBars_[4];
    effects->addActions({ActionClone, ActionAddText, ActionAlpha});
    effects->addSeparator();
    flipButton_ = new QToolButton;
    flipButton_->setObjectName("flipButton");
    flipButton_->setIcon(drawnIcon(IconKind::Flip));
    flipButton_->setToolTip("Flip frame (Normal)");
    // The drop-down has the submenu's entries, the last one short.
    flipDropDown_ = new QMenu(this);
    flipDropDown_->addActions({ActionFlip[0], ActionFlip[1], ActionFlip[2]});
    horizVert_ = flipDropDown_->addAction("Horiz/Vert");
    horizVert_->setCheckable(true);
    // a group of its own, so it is drawn as a radio item like its siblings
    auto* horizVertGroup = new QActionGroup(flipDropDown_);
    horizVertGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    horizVertGroup->addAction(horizVert_);
    connect(horizVert_, &QAction::triggered, ActionFlip[3], &QAction::trigger);
    connect(ActionFlip[3], &QAction::changed, horizVert_, [this] {
        horizVert_->setEnabled(ActionFlip[3]->isEnabled());
        horizVert_->setVisible(ActionFlip[3]->isVisible());
        horizVert_->setChecked(ActionFlip[3]->isChecked());
    });
    flipButton_->setMenu(flipDropDown_);
    flipButton_->setPopupMode(QToolButton::MenuButtonPopup);  // the button itself: Normal
    flipButton_->setAutoRaise(true);
    effects->addWidget(flipButton_)->setObjectName("flipButtonAction");
    convertButton_ = new QToolButton;
    convertButton_->setObjectName("convertButton");
    convertButton_->setIcon(drawnIcon(IconKind::Convert));
    convertButton_->setToolTip("Convert frame to (Normal)");
    convertButton_->setMenu(convertMenu_);
    convertButton_->setPopupMode(QToolButton::MenuButtonPopup);  // the button itself: Normal
    convertButton_->setAutoRaise(true);
    effects->addWidget(convertButton_)->setObjectName("convertButtonAction");

    toolBars_[5]->addActions({ActionSaveFrame, ActionCopy});
}

// A command is offered once the work behind it is built. Each command that
// gets its handler leaves this list.
void TAVIForm::offerBuiltCommands()
{
    const QList<QAction*> notBuilt = {};
    for (QAction* a : notBuilt) a->setVisible(false);
    // drop-down buttons go with their menus
    for (QToolBar* bar : toolBars_)
        for (QAction* a : bar->actions())
            if (a->objectName() == "runButtonAction")
                a->setVisible(ActionRunAvi->isVisible() || ActionRunGif->isVisible());
            else if (a->objectName() == "flipButtonAction")
                a->setVisible(ActionFlip[0]->isVisible());
            else if (a->objectName() == "convertButtonAction")
                a->setVisible(ActionConvert[0]->isVisible());
}

// Menus and tool bars that offer nothing are not shown. Until the first
// project only the project bar is shown.
void TAVIForm::hideEmptyMenusAndBars()
{
    for (QMenu* menu :
         {fileMenu_, editMenu_, effectsMenu_, playMenu_, toolMenu_, helpMenu_, flipMenu_, convertMenu_})
        menu->menuAction()->setVisible(offersSomething(menu));
    for (int i = 0; i < kToolBarCount; ++i) {
        QToolBar* bar = toolBars_[std::size_t(i)];
        bool offers = false;
        for (const QAction* a : bar->actions()) offers = offers || (!a->isSeparator() && a->isVisible());
        bar->setVisible(offers && (i == 0 || firstProjectSetUp_));
    }
}

QAction* TAVIForm::action(const QString& name) const
{
    return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void TAVIForm::applyEnabling()
{
    const CommandEnabling e = commandEnabling(project_, {firstProjectSetUp_});
    ActionSave->setEnabled(e.save);
    for (QAction* a : {ActionSaveAs, ActionProjectOptions, ActionAdd, ActionInsertWav})
        a->setEnabled(e.projectCommands);
    for (QAction* a : {ActionSaveFrame, ActionCopy, ActionInsert, ActionDelete, ActionRefresh,
                       ActionFrameOptions, ActionFrameOrigin, ActionClone, ActionAddText, ActionAlpha})
        a->setEnabled(e.selected);
    for (QAction* a : ActionFlip) a->setEnabled(e.selected);
    for (QAction* a : ActionConvert) a->setEnabled(e.selected);
    flipMenu_->setEnabled(e.selected);
    convertMenu_->setEnabled(e.selected);
    flipButton_->setEnabled(e.selected);
    convertButton_->setEnabled(e.selected);
    ActionOptimizeColor->setEnabled(e.optimizeColor);
    ActionUp->setEnabled(e.up);
    ActionDown->setEnabled(e.down);
    ActionGenerate->setEnabled(e.listNotEmpty);
    ActionSelectAll->setEnabled(e.listNotEmpty);
    if (playback_)
        playback_->applyEnabling();  // what playing or paused holds back
}

// Shown again exactly when a project is made or opened or its options change,
// which is also when the creeping line starts again from its defaults.
void TAVIForm::showTypeTexts()
{
    generated_.text.reset();
    const bool gif = project_.settings.isGif();
    runButton_->setToolTip(gif ? "Run as GIF" : "Run as AVI");
    const QString generate = gif ? "Generate animated GIF" : "Generate AVI";
    ActionGenerate->setIconText(generate);
    ActionGenerate->setToolTip(generate);
    ActionRunAvi->setChecked(!gif);
    ActionRunGif->setChecked(gif);
    outputFilterIndex_ = gif ? 2 : 1;
    outputDefaultExtension_ = gif ? "gif" : "avi";
    statusPanels_[1]->setText(QString::fromStdString(typeText(project_.settings.Type)));
}

}  // namespace pelko
