#pragma once
// TAVIForm: the main window, a host for the commands. It owns the open
// project, the frame strip and the preview, the status bar and the message
// log, the recent projects and the settings kept between runs. The feature
// folders register their commands (gui/app/command.h) and keep their own
// state as features, QObject children of the window found by type.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

#include "engine/project/image_sources.h"
#include "engine/project/project.h"
#include "engine/project/project_options.h"
#include "engine/rules/app_settings.h"
#include "engine/rules/recent_projects.h"
#include "gui/app/command_layout.h"
#include "gui/app/command_rail.h"
#include "gui/app/command_registry.h"
#include "gui/app/dialog_provider.h"
#include "gui/app/edit_history.h"
#include "gui/app/start_options.h"
#include "gui/app/status_panels.h"

class QMenu;
class QPlainTextEdit;
class QScrollArea;
class QSplitter;
class QToolBar;
class QToolButton;

namespace pelko {

struct EditResult;
class FrameStrip;
class HelpWindow;
class LogPanel;
class ReopenMenu;
class PreviewCanvas;

class TAVIForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TAVIForm(StartOptions options, QWidget* parent = nullptr);
    ~TAVIForm() override;

    Project& project() { return project_; }
    const RecentProjects& recentProjects() const { return recent_; }
    const AppSettings& startSettings() const { return startSettings_; }
    // Where features keep values of their own between runs.
    SettingsStore& settingsStore() { return *store_; }
    DefaultFrameSize defaultFrameSize() const { return startSettings_.frameSize; }
    ScreenSize screenSize() const { return screen_; }
    bool firstProjectSetUp() const { return firstProjectSetUp_; }
    bool closing() const { return closing_; }

    // Shows the window, maximised when the start rule says so.
    void showAtStart();
    bool startsMaximized() const;

    // ---- the context of every command ----
    CommandRegistry& commands() { return commands_; }
    CommandRail& rail() { return rail_; }
    // The undo history; every command on the rail is one step of it.
    EditHistory& history() { return history_; }
    DialogProvider& dialogs() { return *dialogs_; }
    void setDialogs(std::shared_ptr<DialogProvider> dialogs) { dialogs_ = std::move(dialogs); }
    // The reader of every source, for the commands and for the frame cache.
    SourceReader& reader() { return *reader_; }
    void setSourceReader(std::unique_ptr<SourceReader> reader);
    const ShowFlags& showFlags() const { return showFlags_; }
    void setShowFlags(const ShowFlags& flags) { showFlags_ = flags; }
    // A feature of the window by its type (null when none is installed).
    template <class T>
    T* feature() const
    {
        return findChild<T*>(QString(), Qt::FindDirectChildrenOnly);
    }

    // ---- the project as a document ----
    // Opens the project file at path, as Open does after its dialog, Reopen and
    // the command line.
    void openProject(const QString& path);
    // New after its dialog.
    void startNewProject(const ProjectOptions& options);
    // A new project of the pictures' kind made of them, as New followed by Add
    // (the command line's pictures; see engine/rules/start_files.h).
    void newProjectWithPictures(const QStringList& paths);
    // Add, Insert (before the first selected frame) and dropped files.
    void addPictures(const QStringList& paths);
    void insertPictures(const QStringList& paths);
    void dropPictures(const QStringList& paths);
    // Save and Save as; false only when the file could not be written (a
    // cancelled dialog is no failure).
    bool save();
    bool saveAs();
    bool saveProjectTo(const QString& path);
    // Asks whether unsaved changes are to be saved; false when the user cancels.
    bool queryChanges();
    // Runs once, on the first New or Open of the run: it shows every tool
    // bar, gives the frame strip its pop-up menu and accepts dropped files.
    void setUpFirstProject();
    // Puts a project path at the top of the recent list (Open, Save as).
    void addRecent(const QString& path);

    // ---- showing the project ----
    // The cards, the marks, the preview of the first selected frame
    // (previewIndex -1: nothing shown), the enabled commands, the log panel
    // and status panels 4 and 5.
    void mirrorProject(int previewIndex);
    // After an edit that may have changed the canvas: its size, the status
    // and the errors the edit collected.
    void afterEdit(const EditResult& result);
    void sizeCanvas(bool shown);
    // The frame strip's vertical scroll position, limited to its range.
    void scrollStripTo(int y);
    // Shows the texts a command collected in message boxes.
    void showErrors(const std::vector<std::string>& errors) { rail_.showErrors(errors); }
    // Status bar: panel 1 the project name, 2 the type, 3 the size,
    // 4 the playback time, 5 the frame count. index counts from 0.
    QString statusText(int index) const;
    QString statusHint() const { return statusPanels_.hint(); }
    void showProjectName(const QString& name);
    void showTypeTexts();    // type-dependent captions and panel 2 (typeShown)
    void showSizeStatus();   // panel 3
    void showFrameStatus();  // panels 4 and 5
    // The log panel is shown, with its splitter, exactly while the project's
    // log has lines; the frame cache's problems join the log first.
    void showLog();
    // Moves the frame cache's problems into the log; true when there were any.
    bool takeRenderProblems();
    bool logPanelShown() const;
    // Enables the commands for the project's state (enablingApplied).
    void applyEnabling();

    // ---- the views ----
    QScrollArea* frameStrip() const { return frameStrip_; }
    QScrollArea* previewArea() const { return previewArea_; }
    QPlainTextEdit* logView() const;
    FrameStrip* frameCards() const { return cards_; }
    PreviewCanvas* previewCanvas() const { return canvas_; }
    HelpWindow* helpWindow() const;
    // The actions carry their command's id as object name ("ActionNew",
    // "ActionFlip0" ... "ActionFlip3", "ReopenItem1" ...).
    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const { return commands_.menu(name); }
    QToolBar* toolBar(int index) const { return layout_.toolBar(index); }
    static constexpr int kToolBarCount = CommandLayout::kToolBarCount;
    QToolButton* toolButton(const QString& name) const { return commands_.button(name); }

signals:
    // The New command was started.
    void newProjectRequested();
    // The project's type was shown again (New, Open, Project options).
    void typeShown();
    // The commands were enabled for the project's state.
    void enablingApplied();
    // The window is closing for good: what runs stops.
    void closingDown();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Status tips go to the hint beside the panels, not over them.
    bool event(QEvent* event) override;

private:
    void registerWindowCommands();
    void createCentralArea();
    void readStartSettings();
    void startUp();
    void writeSettings();
    void showPreview(int index);
    void reopen(const QString& path);
    // Add and dropping: the files at the end of the list, as append does it.
    using AppendFiles = EditResult (*)(Project&, const std::vector<std::string>&, SourceReader&,
                                       ProgressSink&);
    void appendPictures(const QStringList& paths, AppendFiles append);
    void stripContextMenu(const QPoint& pos);

    StartOptions options_;
    ScreenSize screen_;
    std::shared_ptr<SettingsStore> store_;
    Project project_;
    RecentProjects recent_;
    AppSettings startSettings_;
    bool firstProjectSetUp_ = false;
    bool closing_ = false;
    bool startQueued_ = false;
    bool settingsWritten_ = false;

    CommandRegistry commands_;
    CommandLayout layout_;
    ReopenMenu* reopen_ = nullptr;
    StatusPanels statusPanels_;
    QSplitter* splitter_ = nullptr;
    QScrollArea* frameStrip_ = nullptr;
    QScrollArea* previewArea_ = nullptr;
    LogPanel* logView_ = nullptr;
    QPointer<HelpWindow> helpWindow_;
    FrameStrip* cards_ = nullptr;
    PreviewCanvas* canvas_ = nullptr;
    std::shared_ptr<DialogProvider> dialogs_;
    EditHistory history_;
    CommandRail rail_;
    std::shared_ptr<SourceReader> reader_;
    ShowFlags showFlags_;
};

}  // namespace pelko
