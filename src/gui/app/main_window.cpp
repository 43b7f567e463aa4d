#include "gui/app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>

#include "engine/project/frame_cache.h"
#include "gui/app/frame_strip.h"
#include "gui/app/help_window.h"
#include "gui/app/icons.h"
#include "gui/app/log_panel.h"
#include "gui/app/preview_canvas.h"
#include "gui/app/reopen_menu.h"
#include "platform/qt_settings_store.h"

namespace pelko {

namespace {

constexpr int kStripWidth = 200;

ScreenSize primaryScreenSize()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return {screen->geometry().width(), screen->geometry().height()};
    return {1024, 768};
}

}  // namespace

TAVIForm::TAVIForm(StartOptions options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      commands_(*this, [this]() -> TAVIForm& { return *this; }),
      rail_(
          this, project_, [this]() -> DialogProvider& { return *dialogs_; },
          [this] { history_.begin(project_); },
          [this] {
              history_.end(project_);
              showLog();
              applyEnabling();
          })
{
    screen_ = options_.screen.value_or(primaryScreenSize());
    store_ = options_.store ? options_.store : std::make_shared<QtSettingsStore>();
    dialogs_ = options_.dialogs;
    if (!dialogs_)
        qFatal("the window needs its dialogs");
    showFlags_ = ShowFlags::all();
    reader_ = makeFileSourceReader();
    project_.cache->setReader(reader_);

    setWindowTitle("Pelko");
    setWindowIcon(drawnIcon(IconKind::Generate));
    resize(kInitialWindowWidth, kInitialWindowHeight);
    setMinimumSize(kMinimumWindowWidth, kMinimumWindowHeight);

    createCentralArea();
    statusPanels_.addTo(*statusBar());
    registerWindowCommands();
    if (options_.install)
        options_.install(*this);
    layout_.build(*this, commands_);

    readStartSettings();
    reopen_->placeIn(menu("reopenMenu"));
    applyEnabling();
    layout_.showOffered(firstProjectSetUp_);
}

TAVIForm::~TAVIForm() = default;

void TAVIForm::registerWindowCommands()
{
    commands_.add({.id = "ActionExit",
                   .caption = "Exit",
                   // the desktop's usual Quit key besides the window's own
                   .keys = {QKeySequence("Ctrl+X"), QKeySequence(QKeySequence::Quit)},
                   .execute = [](TAVIForm& w, bool) {
                       // the playback stops in closeEvent, once the window is sure to close
                       w.closing_ = true;
                       w.close();
                   }});
    commands_.add(
        {.id = "ActionHelp", .caption = "Content", .keys = keys("F1"), .execute = [](TAVIForm& w, bool) {
             showHelp(&w, w.helpWindow_);
         }});
    commands_.add(
        {.id = "ActionAbout", .caption = "About", .execute = [](TAVIForm& w, bool) { showAbout(&w); }});
    reopen_ = new ReopenMenu(this, recent_, [this](const QString& path) { reopen(path); });
}

QAction* TAVIForm::action(const QString& name) const
{
    return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void TAVIForm::applyEnabling()
{
    const CommandEnabling e = commandEnabling(project_, {firstProjectSetUp_});
    commands_.applyEnabling(e);
    emit enablingApplied();  // what playing or paused holds back
}

HelpWindow* TAVIForm::helpWindow() const
{
    return helpWindow_;
}

void TAVIForm::readStartSettings()
{
    startSettings_ = readAppSettings(*store_, screen_);
    project_.cache->setBudget(startSettings_.frameCacheBytes);
    history_.steps().setBudget(startSettings_.undoHistoryBytes);
    if (startSettings_.opened)
        resize(startSettings_.windowWidth, startSettings_.windowHeight);
    recent_.assign({startSettings_.files.begin(), startSettings_.files.end()});

    // centred on the screen
    QPoint origin;
    if (!options_.screen)
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            origin = screen->geometry().topLeft();
    move(origin.x() + (screen_.width - width()) / 2, origin.y() + (screen_.height - height()) / 2);
}

bool TAVIForm::startsMaximized() const
{
    return pelko::startsMaximized(width(), height(), screen_);
}

void TAVIForm::showAtStart()
{
    if (startsMaximized())
        showMaximized();
    else
        show();
}

void TAVIForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The command-line project or the first-run New comes up once the window
    // is on the screen.
    if (!startQueued_) {
        startQueued_ = true;
        QMetaObject::invokeMethod(
            this, [this] { startUp(); }, Qt::QueuedConnection);
    }
}

void TAVIForm::startUp()
{
    if (!options_.projectArgument.isEmpty())
        openProject(options_.projectArgument);
    else if (!options_.pictureArguments.isEmpty())
        newProjectWithPictures(options_.pictureArguments);
    else if (runsNewAtStart(startSettings_.start, false))
        action("ActionNew")->trigger();
}

void TAVIForm::createCentralArea()
{
    frameStrip_ = new QScrollArea;
    frameStrip_->setObjectName("frameStrip");
    frameStrip_->setFixedWidth(kStripWidth);
    frameStrip_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frameStrip_->setWidgetResizable(true);
    frameStrip_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    frameStrip_->setEnabled(false);
    cards_ = new FrameStrip(project_);
    frameStrip_->setWidget(cards_);
    frameStrip_->verticalScrollBar()->setSingleStep(kCardStep);
    connect(cards_, &FrameStrip::picturesArrived, this, [this] {
        if (takeRenderProblems())
            showLog();
    });

    previewArea_ = new QScrollArea;
    previewArea_->setObjectName("previewArea");
    previewArea_->setAlignment(Qt::AlignCenter);
    canvas_ = new PreviewCanvas;
    previewArea_->setWidget(canvas_);
    canvas_->hide();  // (setWidget shows it) until a project gives the canvas a size

    auto* work = new QWidget;
    auto* row = new QHBoxLayout(work);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(frameStrip_);
    row->addWidget(previewArea_, 1);

    logView_ = new LogPanel;

    splitter_ = new QSplitter(Qt::Vertical);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(work);
    splitter_->addWidget(logView_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    setCentralWidget(splitter_);
}

bool TAVIForm::takeRenderProblems()
{
    const std::vector<std::string> problems = project_.cache->takeProblems();
    for (const std::string& line : problems) project_.log.add(line);
    return !problems.empty();
}

void TAVIForm::showLog()
{
    takeRenderProblems();
    logView_->showLines(project_.log.lines(), *splitter_);
}

QPlainTextEdit* TAVIForm::logView() const
{
    return logView_;
}

bool TAVIForm::logPanelShown() const
{
    return !logView_->isHidden();
}

void TAVIForm::reopen(const QString& path)
{
    rail_.run([&] {
        if (!QFileInfo(path).isFile()) {
            rail_.showError("Not found file: " + path);
            return;
        }
        if (queryChanges())
            openProject(path);
    });
}

void TAVIForm::closeEvent(QCloseEvent* event)
{
    // a command at work (generation reads the project on a worker) ends first
    if (rail_.working()) {
        event->ignore();
        return;
    }
    closing_ = true;
    if (!queryChanges()) {
        closing_ = false;
        event->ignore();
        return;
    }
    emit closingDown();
    if (helpWindow_)
        helpWindow_->close();
    project_.clear();
    showLog();
    writeSettings();
    event->accept();
}

bool TAVIForm::event(QEvent* event)
{
    if (event->type() != QEvent::StatusTip)
        return QMainWindow::event(event);
    statusPanels_.showHint(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
}

void TAVIForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (closing_)
        return;
    // back to the top-left corner of the preview and the left edge of the strip
    previewArea_->horizontalScrollBar()->setValue(0);
    previewArea_->verticalScrollBar()->setValue(0);
    frameStrip_->horizontalScrollBar()->setValue(0);
}

void TAVIForm::writeSettings()
{
    if (settingsWritten_)
        return;
    ClosingState state;
    state.projectSetUp = firstProjectSetUp_;
    state.start = startSettings_.start;
    state.maximizedOrMinimized = isMaximized() || isMinimized();
    state.windowWidth = width();
    state.windowHeight = height();
    state.files = recent_.stored();
    settingsWritten_ = writeAppSettings(*store_, state) == SettingsWrite::Written;
}

}  // namespace pelko
