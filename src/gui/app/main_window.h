#pragma once
// TAVIForm: the main window. It owns the open project, its menus, tool bars,
// status bar and message log, the recent projects and the settings kept
// between runs.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

#include "engine/project/app_settings.h"
#include "engine/project/frame_options.h"
#include "engine/project/image_sources.h"
#include "engine/project/project.h"
#include "engine/project/recent_projects.h"
#include "gui/app/command_rail.h"
#include "gui/app/dialog_provider.h"
#include "gui/colour/colour_dialogs.h"
#include "gui/export/export_state.h"
#include "gui/generated/generated_state.h"
#include "gui/output/generate_state.h"

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QScrollArea;
class QSplitter;
class QToolBar;
class QToolButton;

namespace pelko {

struct EditResult;
class FrameStrip;
class CaptureCommand;
class HelpWindow;
class PlaybackController;
class PreviewCanvas;

// What the window is started with. Every member has a default for the real
// program; tests replace the store and the screen.
struct StartOptions {
    std::shared_ptr<SettingsStore> store;     // null: the user's settings store
    std::optional<ScreenSize> screen;         // null: the primary screen
    QString projectArgument;                  // first command-line argument, if any
    QStringList pictureArguments;             // pictures to start a new project with
    std::shared_ptr<DialogProvider> dialogs;  // null: the real dialogs
};

class TAVIForm : public QMainWindow {
    Q_OBJECT
    friend class PlaybackController;  // the Play commands and "Add sound into AVI" (gui/playback/)

public:
    explicit TAVIForm(StartOptions options = {}, QWidget* parent = nullptr);
    ~TAVIForm() override;

    Project& project() { return project_; }
    const RecentProjects& recentProjects() const { return recent_; }
    const AppSettings& startSettings() const { return startSettings_; }
    DefaultFrameSize defaultFrameSize() const { return startSettings_.frameSize; }
    ScreenSize screenSize() const { return screen_; }
    bool firstProjectSetUp() const { return firstProjectSetUp_; }
    bool closing() const { return closing_; }

    // Shows the window, maximised when the start rule says so.
    void showAtStart();
    bool startsMaximized() const;

    // Opens the project file at path, as Open does after its dialog, Reopen and
    // the command line.
    void openProject(const QString& path);
    // A new project of the pictures' kind made of them, as New followed by Add
    // (the command line's pictures; see engine/project/start_files.h).
    void newProjectWithPictures(const QStringList& paths);

    // Shows the project as it is now: the cards, the marks, the preview of
    // the first selected frame (previewIndex -1: nothing shown), the enabled
    // commands, the log panel and status panels 4 and 5.
    void mirrorProject(int previewIndex);
    // The frame strip's vertical scroll position, limited to its range.
    void scrollStripTo(int y);

    // The editing commands after their dialogs (tests call them directly).
    void addPictures(const QStringList& paths);
    void insertPictures(const QStringList& paths);
    void dropPictures(const QStringList& paths);
    bool saveProjectTo(const QString& path);  // false when the file could not be written

    DialogProvider& dialogs() { return *dialogs_; }
    void setDialogs(std::shared_ptr<DialogProvider> dialogs) { dialogs_ = std::move(dialogs); }
    // The reader of every source, for the commands and for the frame cache.
    void setSourceReader(std::unique_ptr<SourceReader> reader);
    const ShowFlags& showFlags() const { return showFlags_; }
    // What the generating commands keep (tests set the program folder).
    GeneratedFramesState& generatedState() { return generated_; }

    // Status bar: panel 1 the project name, 2 the type, 3 the size,
    // 4 the playback time, 5 the frame count. index counts from 0.
    QString statusText(int index) const;
    void showProjectName(const QString& name);
    void showTypeTexts();    // type-dependent captions and panel 2
    void showSizeStatus();   // panel 3
    void showFrameStatus();  // panels 4 and 5

    // Brings the log panel in line with the project's log: it is shown, with
    // its splitter, exactly while the log has lines. The problems the frame
    // cache met while rendering pictures join the log first.
    void showLog();
    // Moves the frame cache's problems into the log; true when there were any.
    bool takeRenderProblems();
    bool logPanelShown() const;

    // Enables the commands for the project's current state (selection, frame
    // count, changed state, type).
    void applyEnabling();

    // Hooks for the project commands. setUpFirstProject() runs once, on the
    // first New or Open of the run: it shows every tool bar, gives the frame
    // strip its pop-up menu and enables the commands that need a project.
    void setUpFirstProject();
    // Puts a project path at the top of the recent list (Open, Save as).
    void addRecent(const QString& path);
    // Asks whether unsaved changes are to be saved; false when the user cancels.
    bool queryChanges();

    QScrollArea* frameStrip() const { return frameStrip_; }
    QScrollArea* previewArea() const { return previewArea_; }
    QPlainTextEdit* logView() const { return logView_; }
    FrameStrip* frameCards() const { return cards_; }
    PreviewCanvas* previewCanvas() const { return canvas_; }

    // The actions, named after the commands, are private; each carries its
    // name as object name ("ActionNew", "ActionFlip0" ... "ActionFlip3",
    // "ActionConvert0" ... "ActionConvert2"), which tests look them up by.
    QAction* action(const QString& name) const;

    QMenu* fileMenu() const { return fileMenu_; }
    QMenu* reopenMenu() const { return reopenMenu_; }
    QMenu* stripMenu() const { return stripMenu_; }
    QToolBar* toolBar(int index) const { return toolBars_.at(std::size_t(index)); }
    static constexpr int kToolBarCount = 6;  // project, generate, run, edit, effects, frame
    QToolButton* runButton() const { return runButton_; }
    QToolButton* flipButton() const { return flipButton_; }
    QToolButton* convertButton() const { return convertButton_; }
    QMenu* flipDropDown() const { return flipDropDown_; }
    HelpWindow* helpWindow() const;

    // The output file dialog's choice for the project type (generation uses it).
    int outputFilterIndex() const { return outputFilterIndex_; }
    QString outputDefaultExtension() const { return outputDefaultExtension_; }
    // Generate's state for the run, and the dialogs it asks (tests answer).
    GenerateState& generateState() { return generate_; }
    void setOutputDialogs(std::shared_ptr<OutputDialogs> d) { generate_.dialogs = std::move(d); }
    // The GIF frame options dialog is run through these (tests answer).
    void setColourDialogs(std::shared_ptr<ColourDialogs> d) { colourDialogs_ = std::move(d); }
    // The status bar's note of the file Generate wrote last.
    QString writtenText() const;
    // What "Save frame" and "Copy" keep for the run, and the dialogs they
    // ask (tests answer).
    ExportState& exportState() { return export_; }
    void setExportDialogs(std::shared_ptr<ExportDialogs> d) { export_.dialogs = std::move(d); }
    // The preview's pop-up menu as it is now: none with nothing selected.
    QMenu* previewPopupMenu() const;
    // Screen capture (Tool > Capture): its settings, bar and dialogs.
    CaptureCommand* captureCommand() const { return capture_; }
    // The playback preview and the background sound command.
    PlaybackController* playback() const { return playback_; }

signals:
    // The New command was started (its dialog comes with the project commands).
    void newProjectRequested();

public slots:
    void ActionNewExecute();
    void ActionOpenExecute();
    // Both return false only when the file could not be written (a cancelled
    // dialog is no failure).
    bool ActionSaveExecute();
    bool ActionSaveAsExecute();
    void ActionProjectOptionsExecute();
    void ActionAddExecute();
    void ActionInsertExecute();
    void ActionDeleteExecute();
    void ActionUpExecute();
    void ActionDownExecute();
    void ActionSelectAllExecute();
    void ActionRefreshExecute();
    void ActionCloneExecute();
    void ActionFrameOriginExecute();
    void ActionFrameOptionsExecute();
    void ActionAlphaExecute();
    void ActionAddTextExecute();
    void ActionCreateExecute();  // Generate
    void ActionSaveFrameExecute();
    void ActionCopyExecute();
    void ActionCaptureExecute();
    void ActionOptimizeColorExecute();
    // The colour picture of card index: that frame alone, then "Optimize frame's color".
    void cardColorClicked(int index);
    // The options picture of card index: that frame alone, then Frame options.
    void cardOptionsClicked(int index);
    void FlipExecute(int mode);     // 0 Normal .. 3 Horizontal+Vertical
    void ConvertExecute(int mode);  // 0 Normal, 1 Inverse, 2 GreyScale
    void ActionExitExecute();
    void ActionHelpExecute();
    void ActionAboutExecute();
    void ReopenItemClick(int position);  // position 1..5
    void ReopenMenuShow();               // fills the Reopen items

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The actions. A command whose work is not built yet is hidden (not
    // offered); see offerBuiltCommands().
    QAction* ActionNew = nullptr;
    QAction* ActionOpen = nullptr;
    QAction* ActionSave = nullptr;
    QAction* ActionSaveAs = nullptr;
    QAction* ActionSaveFrame = nullptr;
    QAction* ActionCopy = nullptr;
    QAction* ActionGenerate = nullptr;
    QAction* ActionProjectOptions = nullptr;
    QAction* ActionExit = nullptr;
    QAction* ActionAdd = nullptr;
    QAction* ActionInsert = nullptr;
    QAction* ActionDelete = nullptr;
    QAction* ActionRefresh = nullptr;
    QAction* ActionUp = nullptr;
    QAction* ActionDown = nullptr;
    QAction* ActionFrameOptions = nullptr;
    QAction* ActionOptimizeColor = nullptr;
    QAction* ActionInsertWav = nullptr;
    QAction* ActionSelectAll = nullptr;
    QAction* ActionFrameOrigin = nullptr;
    QAction* ActionClone = nullptr;
    QAction* ActionAddText = nullptr;
    QAction* ActionAlpha = nullptr;
    std::array<QAction*, 4> ActionFlip{};     // Normal, Horizontal, Vertical, Horizontal+Vertical
    std::array<QAction*, 3> ActionConvert{};  // Normal, Inverse, GreyScale
    QAction* ActionRunAvi = nullptr;
    QAction* ActionRunGif = nullptr;
    QAction* ActionPause = nullptr;
    QAction* ActionStop = nullptr;
    QAction* ActionCapture = nullptr;
    QAction* ActionHelp = nullptr;
    QAction* ActionAbout = nullptr;
    std::array<QAction*, RecentProjects::kCapacity> ReopenItems{};

    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createCentralArea();
    void offerBuiltCommands();
    void hideEmptyMenusAndBars();
    void readStartSettings();
    void startUp();
    void startNewProject(const ProjectOptions& options);  // New after its dialog
    void writeSettings();
    void connectProjectCommands();
    void connectEditCommands();
    void connectEffectCommands();
    void connectGeneratedCommands();
    void connectGenerateCommands();
    // Save frame and Copy (gui/export/save_frame_command.cpp). exportOptions
    // runs the format's options dialog when it is to be shown; false when
    // it was cancelled.
    void connectExportCommands();
    void saveFrame();
    bool exportOptions(ExportFormat format, const Picture& picture);
    void copyFrame();
    void connectCaptureCommands();  // gui/capture/capture_command.cpp
    // gui/playback/playback_controller.cpp
    void connectPlaybackCommands();
    void connectColourCommands();
    // Generate (gui/output/generate_command.cpp). The two kinds return false
    // when their options dialog was cancelled.
    void GenerateOutput();
    bool generateAviFile(const QString& path);
    bool generateGifFile(const QString& path);
    void writeAvi(const QString& path);
    void writeGif(const QString& path, const AnimatedGifOptions& options, std::shared_ptr<TGIFImage> built);
    std::shared_ptr<TGIFImage> buildGif(QWidget* parent, const AnimatedGifOptions& options);
    void announceWritten(const QString& path);
    void setEffectMarks();  // the flip and convert check marks from the first selected frame
    void cardReleased(int index, Qt::KeyboardModifiers modifiers, Qt::MouseButton button);
    void emptyStripReleased(Qt::MouseButton button);
    void showPreview(int index);
    void sizeCanvas(bool shown);
    void afterEdit(const EditResult& result);
    // Shows the texts a command collected in message boxes.
    void showErrors(const std::vector<std::string>& errors) { rail_.showErrors(errors); }
    void moveSelectedFrame(int step);  // Up (-1) and Down (+1)
    // Add and dropping: the files at the end of the list, as append does it.
    using AppendFiles = EditResult (*)(Project&, const std::vector<std::string>&, SourceReader&,
                                       ProgressSink&);
    void appendPictures(const QStringList& paths, AppendFiles append);
    void stripKeyPressed(int key, Qt::KeyboardModifiers modifiers);
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

    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* effectsMenu_ = nullptr;
    QMenu* playMenu_ = nullptr;
    QMenu* toolMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    QMenu* reopenMenu_ = nullptr;
    QMenu* flipMenu_ = nullptr;
    QMenu* convertMenu_ = nullptr;
    QMenu* flipDropDown_ = nullptr;
    QAction* horizVert_ = nullptr;  // "Horiz/Vert" in the flip drop-down
    QMenu* runMenu_ = nullptr;
    QMenu* stripMenu_ = nullptr;
    std::array<QToolBar*, kToolBarCount> toolBars_{};
    QToolButton* runButton_ = nullptr;
    QToolButton* flipButton_ = nullptr;
    QToolButton* convertButton_ = nullptr;
    std::array<QLabel*, 5> statusPanels_{};
    QSplitter* splitter_ = nullptr;
    QScrollArea* frameStrip_ = nullptr;
    QScrollArea* previewArea_ = nullptr;
    QPlainTextEdit* logView_ = nullptr;
    QPointer<HelpWindow> helpWindow_;
    FrameStrip* cards_ = nullptr;
    PreviewCanvas* canvas_ = nullptr;
    std::shared_ptr<DialogProvider> dialogs_;
    CommandRail rail_;
    std::shared_ptr<SourceReader> reader_;
    ShowFlags showFlags_{true, true, true, true, true, true};
    PendingFrameOptions pendingFrameOptions_;  // kept for the whole run
    int outputFilterIndex_ = 1;
    QString outputDefaultExtension_ = "avi";
    GeneratedFramesState generated_;
    GenerateState generate_;
    ExportState export_;
    CaptureCommand* capture_ = nullptr;  // a child of the window
    // a child of the window
    PlaybackController* playback_ = nullptr;
    std::shared_ptr<ColourDialogs> colourDialogs_ = std::make_shared<WidgetColourDialogs>();
};

}  // namespace pelko
