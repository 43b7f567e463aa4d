// Drives the real main window offscreen: start-up, status bar, log panel,
// recent projects and the settings kept between runs.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <set>

#include "engine/project/frame_cache.h"
#include "gui/app/help_window.h"
#include "gui/app/main_window.h"
#include "gui/app/wait_guard.h"
#include "gui/widget_dialogs.h"
#include "gui_fixtures.h"
#include "platform/qt_settings_store.h"

using namespace pelko;
using pelko::test::act;

namespace {

constexpr ScreenSize kScreen{1280, 1024};

// Closes the next modal box once it shows up and keeps its caption and text.
struct ModalCatcher {
    QString title;
    QString text;
    void arm()
    {
        QTimer::singleShot(0, [this] { poll(); });
    }
    void poll()
    {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            box->done(QMessageBox::Ok);
            return;
        }
        QTimer::singleShot(10, [this] { poll(); });
    }
};

// Hidden (not yet offered) actions report themselves disabled; offering them
// shows the enabled state the window gave them.
void offerAll(TAVIForm& form)
{
    for (QAction* a : form.findChildren<QAction*>()) a->setVisible(true);
}

// The real dialogs, except that the New project dialog is cancelled at once.
struct CancelNewDialogs : WidgetDialogProvider {
    bool projectOptions(QWidget*, ProjectOptions&, ShowFlags&, bool, DefaultFrameSize) override
    {
        return false;
    }
};

FrameRecord timedFrame(std::uint16_t time)
{
    FrameRecord f;
    f.Time = time;
    return f;
}

}  // namespace

class WindowFrameTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString storePath() const { return dir_.filePath("config/Pelko/Pelko v.2.2.ini"); }

    StartOptions options(ScreenSize screen = kScreen, QString argument = {}) const
    {
        StartOptions o;
        o.store = std::make_shared<QtSettingsStore>(storePath());
        o.screen = screen;
        o.projectArgument = std::move(argument);
        o.dialogs = std::make_shared<CancelNewDialogs>();
        o.install = installFeatures;
        return o;
    }

    void store(const QList<QPair<QString, QVariant>>& values) const
    {
        QSettings s(storePath(), QSettings::IniFormat);
        for (const auto& [name, value] : values) s.setValue(name, value);
    }

    QString touch(const QString& name) const
    {
        const QString path = dir_.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        return path;
    }

private slots:
    void init() { QFile::remove(storePath()); }

    void firstStartQueuesNewAndStoresNothing()
    {
        {
            TAVIForm form(options());
            QSignalSpy newRequested(&form, &TAVIForm::newProjectRequested);
            form.showAtStart();
            QCOMPARE(newRequested.count(), 0);  // queued, not run inside show
            QTRY_COMPARE(newRequested.count(), 1);
            QCOMPARE(form.size(), QSize(650, 456));
            QVERIFY(!form.isMaximized());
            QCOMPARE(form.defaultFrameSize().width, 100);
            for (int i = 1; i < TAVIForm::kToolBarCount; ++i) QVERIFY(!form.toolBar(i)->isVisible());
            // the New dialog was cancelled: no project, so closing stores nothing
            QVERIFY(form.close());
        }
        QVERIFY(!QFile::exists(storePath()));
    }

    void laterStartOrProjectArgumentDoesNotQueueNew()
    {
        store({{"Start", 1}});
        {
            TAVIForm form(options());
            QSignalSpy newRequested(&form, &TAVIForm::newProjectRequested);
            form.show();
            QTest::qWait(30);
            QCOMPARE(newRequested.count(), 0);
            QVERIFY(!form.firstProjectSetUp());
        }
        QFile::remove(storePath());
        const QString project = touch("start.mcp");
        TAVIForm form(options(kScreen, project));
        QSignalSpy newRequested(&form, &TAVIForm::newProjectRequested);
        form.show();
        QTRY_VERIFY(form.firstProjectSetUp());
        QTest::qWait(30);
        QCOMPARE(newRequested.count(), 0);
        QCOMPARE(form.statusText(0), QString("start.mcp"));
        QCOMPARE(form.recentProjects().entries().at(0), project.toStdString());
    }

    void windowSizeRules_data()
    {
        QTest::addColumn<QVariant>("width");
        QTest::addColumn<QVariant>("height");
        QTest::addColumn<int>("screenW");
        QTest::addColumn<int>("screenH");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("no store: initial size")
            << QVariant() << QVariant() << 1280 << 1024 << QSize(650, 456) << false;
        QTest::newRow("no store, small screen")
            << QVariant() << QVariant() << 680 << 480 << QSize(650, 456) << true;
        QTest::newRow("store without size")
            << QVariant(0) << QVariant() << 1280 << 1024 << QSize(680, 400) << false;
        QTest::newRow("stored size") << QVariant(700) << QVariant(500) << 1280 << 1024 << QSize(700, 500)
                                     << false;
        QTest::newRow("wider than screen")
            << QVariant(5000) << QVariant(300) << 1024 << 768 << QSize(924, 300) << false;
        QTest::newRow("near screen width")
            << QVariant(990) << QVariant(300) << 1024 << 768 << QSize(990, 300) << true;
        QTest::newRow("taller than screen")
            << QVariant(700) << QVariant(768) << 1024 << 768 << QSize(700, 668) << false;
    }

    void windowSizeRules()
    {
        QFETCH(QVariant, width);
        QFETCH(QVariant, height);
        QFETCH(int, screenW);
        QFETCH(int, screenH);
        QFETCH(QSize, size);
        QFETCH(bool, maximized);
        if (width.isValid()) {
            store({{"Start", 1}});
            if (width.toInt() > 0)
                store({{"Width", width}});
            if (height.isValid())
                store({{"Height", height}});
        }
        TAVIForm form(options({screenW, screenH}));
        QCOMPARE(form.size(), size);
        QCOMPARE(form.startsMaximized(), maximized);
    }

    void defaultFrameSizeFollowsScreen()
    {
        store({{"Frame width", 320}, {"Frame height", 2000}});
        TAVIForm form(options({1024, 768}));
        QCOMPARE(form.defaultFrameSize().width, 320);
        QCOMPARE(form.defaultFrameSize().height, 100);
    }

    void frameCacheBudgetFromTheStore()
    {
        store({{"Frame cache MB", 48}});
        TAVIForm form(options());
        QCOMPARE(form.project().cache->budget(), std::size_t(48) << 20);
    }

    void statusTexts()
    {
        TAVIForm form(options());
        Project& p = form.project();
        p.settings.Type = ProjectGif;
        p.settings.Width = 320;
        p.settings.Height = 240;
        for (std::uint16_t t : {200, 300, 600}) p.frames.append(timedFrame(t));
        form.showTypeTexts();
        form.showSizeStatus();
        form.showFrameStatus();
        QCOMPARE(form.statusText(1), QString("GIF"));
        QCOMPARE(form.statusText(2), QString("Size: 320 x 240"));
        QCOMPARE(form.statusText(3), QString("Playback: 1.1 sec"));
        QCOMPARE(form.statusText(4), QString("Frame's number: 3"));
        QCOMPARE(form.toolButton("ToolButRun")->toolTip(), QString("Run as GIF"));
        QCOMPARE(generateFeature(form).defaultExtension, QString("gif"));

        p.clear();
        p.settings.Type = ProjectAvi;
        p.settings.AviFrameTime = 200;
        for (int i = 0; i < 4; ++i) p.frames.append(timedFrame(200));
        form.showTypeTexts();
        form.showFrameStatus();
        QCOMPARE(form.statusText(1), QString("AVI"));
        QCOMPARE(form.statusText(3), QString("Playback: 800 msec"));
        QCOMPARE(form.statusText(4), QString("Frame's number: 4"));
        QCOMPARE(act(form, "ActionGenerate")->toolTip(), QString("Generate AVI"));
    }

    void logPanelShownExactlyWhileLogHasLines()
    {
        TAVIForm form(options());
        form.show();
        QVERIFY(!form.logPanelShown());
        form.project().log.add("Not found file: /gone.bmp");
        form.showLog();
        QVERIFY(form.logPanelShown());
        auto* log = form.findChild<QPlainTextEdit*>("messageLog");
        QVERIFY(log && log->isReadOnly());
        QCOMPARE(log->toPlainText(), QString("Not found file: /gone.bmp"));
        QVERIFY(log->height() >= 50 && log->height() <= 200);
        form.project().log.clear();
        form.showLog();
        QVERIFY(!form.logPanelShown());
    }

    void recentProjectsAndReopenMenu()
    {
        TAVIForm form(options());
        QCOMPARE(act(form, "ReopenItem1")->text(), QString("(empty)"));
        QVERIFY(!act(form, "ReopenItem1")->isEnabled());

        QMap<QString, QString> path;
        for (const char* name : {"A", "B", "C", "D", "E", "F"}) {
            path[name] = touch(QString(name) + ".mcp");
            form.openProject(path[name]);
        }
        auto captions = [&] {
            QStringList out;
            for (int i = 1; i <= 5; ++i)
                if (QAction* item = act(form, QString("ReopenItem%1").arg(i)); item->isVisible())
                    out << item->text();
            return out;
        };
        QCOMPARE(captions(), QStringList({"&1 " + path["F"], "&2 " + path["E"], "&3 " + path["D"],
                                          "&4 " + path["C"], "&5 " + path["B"]}));

        act(form, "ReopenItem3")->trigger();  // D
        QCOMPARE(captions(), QStringList({"&1 " + path["D"], "&2 " + path["F"], "&3 " + path["E"],
                                          "&4 " + path["C"], "&5 " + path["B"]}));
        QCOMPARE(form.statusText(0), QString("D.mcp"));

        // the same name in other letter case moves the entry
        const QString lower = dir_.filePath("c.mcp");
        form.openProject(lower);
        QCOMPARE(captions(), QStringList({"&1 " + lower, "&2 " + path["D"], "&3 " + path["F"],
                                          "&4 " + path["E"], "&5 " + path["B"]}));

        // a vanished file is reported and its entry stays
        QFile::remove(path["F"]);
        ModalCatcher box;
        box.arm();
        act(form, "ReopenItem3")->trigger();
        QCOMPARE(box.title, QString("Error"));
        QCOMPARE(box.text, "Not found file: " + path["F"]);
        QCOMPARE(captions().at(2), "&3 " + path["F"]);
        QCOMPARE(form.statusText(0), QString("c.mcp"));
    }

    void settingsWrittenOnlyAfterAProject()
    {
        {
            TAVIForm form(options());
            form.show();
            QVERIFY(form.close());
        }
        QVERIFY(!QFile::exists(storePath()));

        const QString project = touch("one, two & three.mcp");
        {
            TAVIForm form(options());
            form.show();
            form.resize(720, 480);
            form.openProject(project);
            act(form, "ActionExit")->trigger();
            QVERIFY(form.isHidden());
            QVERIFY(form.closing());
        }
        QVERIFY(QFile::exists(storePath()));
        {
            QSettings s(storePath(), QSettings::IniFormat);
            QCOMPARE(s.value("Start").toInt(), 1);
            QCOMPARE(s.value("Width").toInt(), 720);
            QCOMPARE(s.value("Height").toInt(), 480);
            QCOMPARE(s.value("File1").toString(), project);
            QVERIFY(s.contains("File5"));
            QCOMPARE(s.value("File5").toString(), QString());
        }

        // the next run reads them back; a maximised window keeps the stored size
        TAVIForm form(options());
        QCOMPARE(form.size(), QSize(720, 480));
        QCOMPARE(form.startSettings().start, 1);
        QCOMPARE(act(form, "ReopenItem1")->text(), "&1 " + QString(project).replace("&", "&&"));
        QVERIFY(act(form, "ReopenItem1")->isEnabled());
        form.showMaximized();
        form.openProject(project);
        QVERIFY(form.close());
        QSettings s(storePath(), QSettings::IniFormat);
        QCOMPARE(s.value("Start").toInt(), 2);
        QCOMPARE(s.value("Width").toInt(), 720);
        QCOMPARE(s.value("Height").toInt(), 480);
    }

    void firstProjectShowsToolBarsAndEnablesProjectCommands()
    {
        TAVIForm form(options());
        form.show();
        offerAll(form);
        QVERIFY(!act(form, "ActionSaveAs")->isEnabled());
        QVERIFY(!act(form, "ActionAdd")->isEnabled());
        form.openProject(touch("p.mcp"));
        for (QAction* a : {act(form, "ActionSaveAs"), act(form, "ActionAdd"),
                           act(form, "ActionProjectOptions"), act(form, "ActionInsertWav")})
            QVERIFY(a->isEnabled());
        QVERIFY(!act(form, "ActionSave")->isEnabled());    // an opened project is unchanged
        QVERIFY(!act(form, "ActionInsert")->isEnabled());  // nothing selected
        QCOMPARE(form.findChild<QScrollArea*>("frameStrip")->contextMenuPolicy(), Qt::CustomContextMenu);
        // all bars are shown from the first project on
        for (int i = 0; i < TAVIForm::kToolBarCount; ++i) QVERIFY(form.toolBar(i)->isVisible());
    }

    void selectionDrivesEnabling()
    {
        TAVIForm form(options());
        offerAll(form);
        form.openProject(touch("p.mcp"));
        Project& p = form.project();
        for (int i = 0; i < 3; ++i) p.frames.append(timedFrame(100));
        p.selection.selectOnly(0);
        form.applyEnabling();
        QVERIFY(!act(form, "ActionUp")->isEnabled());
        QVERIFY(act(form, "ActionDown")->isEnabled());
        QVERIFY(!act(form, "ActionOptimizeColor")->isEnabled());  // AVI project
        p.selection.selectOnly(2);
        p.settings.Type = ProjectGif;
        form.applyEnabling();
        QVERIFY(act(form, "ActionUp")->isEnabled());
        QVERIFY(!act(form, "ActionDown")->isEnabled());
        QVERIFY(act(form, "ActionOptimizeColor")->isEnabled());
        p.selection.add(1);
        form.applyEnabling();
        QVERIFY(!act(form, "ActionUp")->isEnabled());
        QVERIFY(!act(form, "ActionDown")->isEnabled());
        QVERIFY(act(form, "ActionDelete")->isEnabled());
    }

    void everyShortcutIsUnique()
    {
        TAVIForm form(options());
        std::set<QString> seen;
        for (QAction* a : form.findChildren<QAction*>()) {
            if (a->shortcut().isEmpty())
                continue;
            const QString key = a->shortcut().toString();
            QVERIFY2(seen.insert(key).second, qPrintable(key + " is used twice"));
        }
        QCOMPARE(act(form, "ActionClone")->shortcut(), QKeySequence("Ctrl+Alt+F"));
        QCOMPARE(act(form, "ActionOptimizeColor")->shortcut(), QKeySequence("Ctrl+Alt+C"));
    }

    void onlyBuiltCommandsAreOffered()
    {
        TAVIForm form(options());
        QStringList offered;
        for (QAction* a : form.menu("fileMenu")->actions())
            if (a->isVisible() && !a->isSeparator())
                offered << a->text();
        QCOMPARE(offered, QStringList({"New", "Open", "Save project", "Save as", "Save frame", "Copy",
                                       "Generate", "Project options", "Reopen", "Exit"}));
        QVERIFY(act(form, "ActionHelp")->isVisible());
        QCOMPARE(act(form, "ActionHelp")->shortcut(), QKeySequence(Qt::Key_F1));
        QVERIFY(act(form, "ActionCapture")->isVisible());
    }

    void helpShowsBundledPageAndClosesWithWindow()
    {
        TAVIForm form(options());
        form.show();
        act(form, "ActionHelp")->trigger();
        HelpWindow* help = form.helpWindow();
        QVERIFY(help && help->isVisible());
        QVERIFY(help->loaded());
        QVERIFY(help->browser()->toPlainText().contains("Pelko"));
        QVERIFY(help->browser()->toPlainText().contains("Reopen"));
        QVERIFY(form.close());
        QVERIFY(!help->isVisible());
    }

    void aboutBox()
    {
        TAVIForm form(options());
        form.show();
        ModalCatcher box;
        box.arm();
        act(form, "ActionAbout")->trigger();
        QCOMPARE(box.title, QString("About"));
        QVERIFY(box.text.contains("Pelko"));
    }

    void waitGuardRestoresOnEveryExit()
    {
        QWidget strip;
        QVERIFY(strip.updatesEnabled());
        try {
            WaitGuard guard(&strip);
            QVERIFY(!strip.updatesEnabled());
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            throw std::runtime_error("command failed");
        } catch (const std::runtime_error&) {
        }
        QVERIFY(strip.updatesEnabled());
        QVERIFY(QApplication::overrideCursor() == nullptr);

        // a widget that goes while the command runs
        auto* gone = new QWidget;
        {
            WaitGuard guard(gone);
            delete gone;
        }
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(WindowFrameTest)
#include "window_frame_test.moc"
