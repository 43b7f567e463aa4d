#include "gui/app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>

#include "engine/project/frame_cache.h"
#include "gui/app/frame_strip.h"
#include "gui/app/help_window.h"
#include "gui/app/icons.h"
#include "gui/app/preview_canvas.h"
#include "gui/playback/playback_controller.h"
#include "platform/qt_settings_store.h"

namespace pelko {

namespace {

constexpr int kLogLines = 3;  // lines the log panel shows when it opens
constexpr int kLogMaxHeight = 200;
constexpr int kStripWidth = 200;

// The height of a log panel that shows exactly lines whole lines above its
// horizontal scroll bar.
int logHeightFor(const QPlainTextEdit* log, int lines)
{
    const int margin = int(log->document()->documentMargin());
    const int bar = log->horizontalScrollBar()->sizeHint().height();
    return lines * log->fontMetrics().lineSpacing() + 2 * margin + 2 * log->frameWidth() + bar;
}

ScreenSize primaryScreenSize()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return {screen->geometry().width(), screen->geometry().height()};
    return {1024, 768};
}

QString fromStd(const std::string& s)
{
    return QString::fromStdString(s);
}

}  // namespace

TAVIForm::TAVIForm(StartOptions options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      commands_(*this, [this]() -> TAVIForm& { return *this; }),
      rail_(
          this, project_, [this]() -> DialogProvider& { return *dialogs_; },
          [this] {
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
    createStatusBar();
    registerWindowCommands();
    if (options_.install)
        options_.install(*this);
    layout_.build(*this, commands_);
    for (QAction* item : reopenItems_) menu("reopenMenu")->addAction(item);
    connect(menu("reopenMenu"), &QMenu::aboutToShow, this, &TAVIForm::fillReopenMenu);

    readStartSettings();
    applyEnabling();
    fillReopenMenu();
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
             w.help();
         }});
    commands_.add({.id = "ActionAbout", .caption = "About", .execute = [](TAVIForm& w, bool) { w.about(); }});
    for (std::size_t i = 0; i < reopenItems_.size(); ++i) {
        reopenItems_[i] = new QAction(this);
        reopenItems_[i]->setObjectName(QString("ReopenItem%1").arg(i + 1));
        connect(reopenItems_[i], &QAction::triggered, this, [this, i] { reopen(int(i) + 1); });
    }
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

    logView_ = new QPlainTextEdit;
    logView_->setObjectName("messageLog");
    logView_->setReadOnly(true);
    logView_->setLineWrapMode(QPlainTextEdit::NoWrap);
    logView_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    logView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    logView_->setMinimumHeight(logHeightFor(logView_, 1));
    logView_->setMaximumHeight(std::max(kLogMaxHeight, logHeightFor(logView_, kLogLines)));
    logView_->hide();

    splitter_ = new QSplitter(Qt::Vertical);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(work);
    splitter_->addWidget(logView_);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    setCentralWidget(splitter_);
}

void TAVIForm::createStatusBar()
{
    const int widths[] = {200, 35, 110, 120, 120};
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel;
        panel->setObjectName(QString("statusPanel%1").arg(i + 1));
        // at least the classic width, wider when the text needs it
        panel->setMinimumWidth(widths[i]);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i == 1)
            panel->setAlignment(Qt::AlignCenter);
        statusBar()->addWidget(panel);
        statusPanels_[std::size_t(i)] = panel;
    }
}

QString TAVIForm::statusText(int index) const
{
    return statusPanels_.at(std::size_t(index))->text();
}

void TAVIForm::showProjectName(const QString& name)
{
    statusPanels_[0]->setText(name);
}

void TAVIForm::showSizeStatus()
{
    statusPanels_[2]->setText(fromStd(sizeText(project_.settings.Width, project_.settings.Height)));
}

void TAVIForm::showFrameStatus()
{
    statusPanels_[3]->setText(fromStd(playbackText(project_.totalTime())));
    statusPanels_[4]->setText(fromStd(frameCountText(project_.frames.count())));
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
    const auto& lines = project_.log.lines();
    QStringList text;
    text.reserve(qsizetype(lines.size()));
    for (const std::string& line : lines) text << fromStd(line);
    logView_->setPlainText(text.join('\n'));
    const bool show = !lines.empty();
    if (show && logView_->isHidden()) {
        logView_->show();
        const int total = splitter_->height();
        const int height = logHeightFor(logView_, kLogLines);
        splitter_->setSizes({std::max(total - height, 1), height});
    } else if (!show) {
        logView_->hide();
    }
}

bool TAVIForm::logPanelShown() const
{
    return !logView_->isHidden();
}

void TAVIForm::fillReopenMenu()
{
    const auto& entries = recent_.entries();
    for (std::size_t i = 0; i < reopenItems_.size(); ++i) {
        QAction* item = reopenItems_[i];
        if (i < entries.size()) {
            item->setText(fromStd(reopenCaption(int(i) + 1, entries[i])));
            item->setEnabled(true);
            item->setVisible(true);
        } else if (i == 0) {
            item->setText("(empty)");
            item->setEnabled(false);
            item->setVisible(true);
        } else {
            item->setVisible(false);
        }
    }
}

void TAVIForm::reopen(int position)
{
    const auto& entries = recent_.entries();
    if (position < 1 || position > int(entries.size()))
        return;
    const QString path = fromStd(entries[std::size_t(position - 1)]);
    rail_.run([&] {
        if (!QFileInfo(path).isFile()) {
            rail_.showError("Not found file: " + path);
            return;
        }
        if (queryChanges())
            openProject(path);
    });
}

void TAVIForm::help()
{
    if (!helpWindow_)
        helpWindow_ = new HelpWindow(this);
    if (!helpWindow_->loaded()) {
        QMessageBox::information(this, "Information", "The help pages are missing from this build of Pelko.");
        return;
    }
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void TAVIForm::about()
{
    QMessageBox box(this);
    box.setWindowTitle("About");
    box.setIconPixmap(windowIcon().pixmap(48, 48));
    box.setText("<b>Pelko v.2.2</b>");
    box.setInformativeText(
        QString("GIF and AVI animator.<br>Build %1, Qt %2.").arg(PELKO_VERSION, qVersion()));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
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
