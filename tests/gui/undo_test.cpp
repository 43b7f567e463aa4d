// Undo and redo through the real window: the keys, the captions named by
// the step, the frames and their settings back in place, the saved point,
// and the history panel.

#include <QAction>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include "engine/project/project_file.h"
#include "engine/rules/app_settings.h"
#include "gui/app/main_window.h"
#include "gui/history/history_commands.h"
#include "gui_fixtures.h"

using namespace pelko;
using namespace pelko::test;

class UndoTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<TAVIForm> form_;

    QString file(const QString& name) const { return dir_.filePath(name); }

    TAVIForm& window(int n)
    {
        dialogs_ = std::make_shared<FakeDialogs>();
        ProjectOptions gif;
        gif.Type = ProjectGif;
        form_ = newProjectWindow(file("settings.ini"), dialogs_, gif);
        QStringList pictures;
        for (int i = 0; i < n; ++i) pictures << writePng(file(QString("p%1.png").arg(i)), 8 + i, 6, Color(i));
        form_->addPictures(pictures);
        return *form_;
    }

    void press(const QKeySequence& keys)
    {
        QTest::keySequence(form_.get(), keys);
        QCoreApplication::processEvents();
    }

private slots:
    void cleanup() { form_.reset(); }

    void ctrlZBringsADeletedFrameBackAtItsPlaceWithItsSettings()
    {
        TAVIForm& w = window(3);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.project().frames[1].Time = 777;
        w.project().frames[1].Flip = FlipVertical;
        const FrameRecord kept = w.project().frames[1];
        w.project().selection.selectOnly(1);
        act(w, "ActionDelete")->trigger();
        QCOMPARE(w.project().frames.count(), 2);
        QCOMPARE(act(w, "ActionUndo")->text(), QString("Undo Delete 1 frame"));
        QVERIFY(act(w, "ActionUndo")->isEnabled());
        QVERIFY(!act(w, "ActionRedo")->isEnabled());

        press(QKeySequence("Ctrl+Z"));
        QCOMPARE(w.project().frames.count(), 3);
        QVERIFY(w.project().frames[1] == kept);
        QCOMPARE(w.project().selection.indices(), std::vector<int>{1});
        QCOMPARE(w.statusText(4), QString("Frame's number: 3"));
        QCOMPARE(act(w, "ActionRedo")->text(), QString("Redo Delete 1 frame"));

        press(QKeySequence("Ctrl+Y"));
        QCOMPARE(w.project().frames.count(), 2);
        press(QKeySequence("Ctrl+Z"));
        press(QKeySequence("Ctrl+Shift+Z"));
        QCOMPARE(w.project().frames.count(), 2);
    }

    // Undoing back to the state last saved makes the project unchanged:
    // "Save project" is off and closing asks nothing.
    void undoingToTheSavedPointLeavesNothingToSave()
    {
        TAVIForm& w = window(2);
        dialogs_->savePath = file("p.mcp");
        act(w, "ActionSave")->trigger();
        QVERIFY(!w.project().changed);
        w.project().selection.selectOnly(0);
        act(w, "ActionClone")->trigger();
        act(w, "ActionFlip1")->trigger();
        QVERIFY(act(w, "ActionSave")->isEnabled());
        act(w, "ActionUndo")->trigger();
        act(w, "ActionUndo")->trigger();
        QVERIFY(!act(w, "ActionSave")->isEnabled());
        QCOMPARE(w.project().frames.count(), 2);
        act(w, "ActionRedo")->trigger();
        QVERIFY(act(w, "ActionSave")->isEnabled());
        act(w, "ActionUndo")->trigger();
        const int asked = dialogs_->questionsAsked;
        QVERIFY(w.close());
        QCOMPARE(dialogs_->questionsAsked, asked);
    }

    // The project options, the GIF/AVI switch included, come back whole, and
    // the history panel goes to a step on a click. New clears the history.
    void projectOptionsUndoAndThePanelJumps()
    {
        TAVIForm& w = window(2);
        const std::vector<FrameRecord> before(w.project().frames.begin(), w.project().frames.end());
        const ProjectSettings settings = w.project().settings;
        ProjectOptions avi = projectOptionsForDialog(w.project(), false, {});
        avi.Type = ProjectAvi;
        avi.AviFrameTime = 250;
        dialogs_->options = avi;
        act(w, "ActionProjectOptions")->trigger();
        QCOMPARE(w.statusText(1), QString("AVI"));
        w.project().selection.selectOnly(0);
        act(w, "ActionClone")->trigger();

        QListWidget* list = historyList(w);
        QVERIFY(list);
        QCOMPARE(list->count(), 4);  // the start, Add, Project options, Clone
        QCOMPARE(list->item(2)->text(), QString("Project options"));
        list->setCurrentRow(1);
        QVERIFY(w.project().settings == settings);
        QVERIFY(
            std::equal(before.begin(), before.end(), w.project().frames.begin(), w.project().frames.end()));
        QCOMPARE(w.statusText(1), QString("GIF"));
        list->setCurrentRow(3);
        QCOMPARE(w.project().frames.count(), 3);
        QCOMPARE(w.statusText(1), QString("AVI"));

        dialogs_->options = ProjectOptions{};
        act(w, "ActionNew")->trigger();
        QVERIFY(!act(w, "ActionUndo")->isEnabled());
        QCOMPARE(list->count(), 1);
    }

    // The history's budget is the user's setting, kept over New.
    void theBudgetIsTheUsersSetting()
    {
        {
            QtSettingsStore store(file("settings.ini"));
            store.writeInt(kUndoHistoryValue, 3);
            QVERIFY(store.flush());
        }
        TAVIForm& w = window(1);
        QCOMPARE(w.history().steps().budget(), std::size_t(3) << 20);
        dialogs_->options = ProjectOptions{};
        act(w, "ActionNew")->trigger();
        QCOMPARE(w.history().steps().budget(), std::size_t(3) << 20);
    }
};

QTEST_MAIN(UndoTest)
#include "undo_test.moc"
