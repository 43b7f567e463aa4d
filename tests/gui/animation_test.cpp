// The Animation menu through the real window: each tool runs from its
// command with the values the dialog gives, is one undo step named after
// it, and undoes to the frames it found; a value the project cannot take
// shows an error and changes nothing.

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "gui/animation/animation_dialogs.h"
#include "gui/app/main_window.h"
#include "gui_fixtures.h"

using namespace pelko;
using namespace pelko::test;

namespace {

// Answers the tools' dialogs with the values given, in order, and keeps
// what was asked and told.
struct FakeAnimationDialogs : AnimationDialogs {
    std::vector<std::vector<int>> answers;
    QStringList titles;
    QStringList told;

    bool numbers(QWidget*, const QString& title, const QString&, std::vector<ToolNumber>& fields) override
    {
        titles << title;
        if (answers.empty())
            return false;
        const std::vector<int> values = answers.front();
        answers.erase(answers.begin());
        for (std::size_t i = 0; i < fields.size() && i < values.size(); ++i) fields[i].value = values[i];
        return true;
    }
    void information(QWidget*, const QString& text) override { told << text; }
};

std::vector<FrameRecord> framesOf(const Project& p)
{
    return {p.frames.begin(), p.frames.end()};
}

QString times(const Project& p)
{
    QStringList t;
    for (const FrameRecord& f : p.frames) t << QString::number(f.Time);
    return t.join(' ');
}

}  // namespace

class AnimationTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::shared_ptr<FakeAnimationDialogs> tools_;
    std::unique_ptr<TAVIForm> form_;

    // Six 20 x 10 frames of pictures a a a b b c, 100 ms each.
    TAVIForm& window(std::int32_t type)
    {
        dialogs_ = std::make_shared<FakeDialogs>();
        ProjectOptions options;
        options.Type = type;
        options.Width = 20;
        options.Height = 10;
        options.GifFrameTime = 100;
        options.AviFrameTime = 100;
        form_ = newProjectWindow(dir_.filePath("settings.ini"), dialogs_, options);
        tools_ = std::make_shared<FakeAnimationDialogs>();
        setAnimationDialogs(*form_, tools_);
        QStringList pictures;
        int n = 0;
        for (Color c :
             {Color(0x1020F0), Color(0x1020F0), Color(0x1020F0), Color(0x30C040), Color(0x30C040), Color(0)})
            pictures << writePng(dir_.filePath(QString("p%1.png").arg(n++)), 20, 10, c);
        form_->addPictures(pictures);
        return *form_;
    }

private slots:
    void cleanup() { form_.reset(); }

    void everyToolIsOneUndoStep()
    {
        struct Case {
            const char* action;
            std::vector<std::vector<int>> answers;
            QString undo;
            std::function<void(const Project&)> check;
        };
        const std::vector<Case> cases = {
            {"ActionRemoveDuplicates",
             {{0}},
             "Undo Remove duplicates",
             [](const Project& p) { QCOMPARE(times(p), QString("300 200 100")); }},
            {"ActionTrim",
             {{0}},
             "Undo Trim",
             [](const Project& p) { QCOMPARE(times(p), QString("300 100 100 100")); }},
            {"ActionSpeed",
             {{200}},
             "Undo Change speed",
             [](const Project& p) { QCOMPARE(times(p), QString("200 200 200 200 200 200")); }},
            {"ActionFrameTime",
             {{70}},
             "Undo Frame time",
             [](const Project& p) { QCOMPARE(times(p), QString("70 70 70 70 70 70")); }},
            {"ActionDropEvery",
             {{3}},
             "Undo Drop every Nth frame",
             [](const Project& p) { QCOMPARE(times(p), QString("100 200 100 200")); }},
            {"ActionDeleteRange",
             {{2, 5}},
             "Undo Delete 4 frames",
             [](const Project& p) { QCOMPARE(p.frames.count(), 2); }},
            {"ActionReverse",
             {},
             "Undo Reverse",
             [](const Project& p) { QVERIFY(p.frames[0].File.ends_with("p5.png")); }},
            {"ActionYoyo", {}, "Undo Yo-yo", [](const Project& p) { QCOMPARE(p.frames.count(), 10); }},
            {"ActionCropCanvas",
             {{0, 0, 15, 8}},
             "Undo Crop canvas",
             [](const Project& p) { QCOMPARE(p.settings.Width, 15); }},
            {"ActionResizeAnimation",
             {{40, 20}},
             "Undo Resize animation",
             [](const Project& p) {
                 QCOMPARE(p.settings.Width, 40);
                 QCOMPARE(p.frames[0].Width, 40);
             }},
        };
        for (const Case& c : cases) {
            TAVIForm& w = window(ProjectGif);
            const std::vector<FrameRecord> before = framesOf(w.project());
            tools_->answers = c.answers;
            act(w, c.action)->trigger();
            QVERIFY2(dialogs_->errors.isEmpty(), qPrintable(dialogs_->errors.join('\n')));
            c.check(w.project());
            const std::vector<FrameRecord> after = framesOf(w.project());
            QCOMPARE(act(w, "ActionUndo")->text(), c.undo);
            act(w, "ActionUndo")->trigger();
            QVERIFY(framesOf(w.project()) == before);
            QCOMPARE(w.project().settings.Width, 20);
            act(w, "ActionRedo")->trigger();
            QVERIFY(framesOf(w.project()) == after);
            if (std::string(c.action) == "ActionResizeAnimation")
                for (const FrameRecord& f : after) QFile::remove(QString::fromStdString(f.File));
        }
    }

    // In an AVI every frame lasts the AVI frame time: the tool drops the
    // identical frames and says the animation got shorter.
    void aviProjectDropsIdenticalFrames()
    {
        TAVIForm& w = window(ProjectAvi);
        tools_->answers = {{0}};
        act(w, "ActionRemoveDuplicates")->trigger();
        QCOMPARE(tools_->titles.value(0), QString("Drop identical frames"));
        QCOMPARE(w.project().frames.count(), 3);
        QCOMPARE(tools_->told.size(), 1);
        QVERIFY2(tools_->told[0].contains("300 msec shorter"), qPrintable(tools_->told[0]));
        QCOMPARE(w.statusText(4), QString("Frame's number: 3"));
    }

    // A crop outside the canvas is refused in the error box; nothing changes
    // and no step is made.
    void aCropOutsideTheCanvasChangesNothing()
    {
        TAVIForm& w = window(ProjectGif);
        const std::vector<FrameRecord> before = framesOf(w.project());
        const QString undo = act(w, "ActionUndo")->text();
        tools_->answers = {{10, 0, 15, 8}};
        act(w, "ActionCropCanvas")->trigger();
        QCOMPARE(dialogs_->errors.size(), 1);
        QVERIFY2(dialogs_->errors[0].contains("not inside the canvas"), qPrintable(dialogs_->errors[0]));
        QVERIFY(framesOf(w.project()) == before);
        QCOMPARE(w.project().settings.Width, 20);
        QCOMPARE(act(w, "ActionUndo")->text(), undo);
    }

    void theToolsWaitForFrames()
    {
        dialogs_ = std::make_shared<FakeDialogs>();
        form_ = newProjectWindow(dir_.filePath("settings.ini"), dialogs_, ProjectOptions{});
        for (const char* id :
             {"ActionTrim", "ActionRemoveDuplicates", "ActionSpeed", "ActionReverse", "ActionCropCanvas"})
            QVERIFY(!act(*form_, id)->isEnabled());
    }
};

QTEST_MAIN(AnimationTest)
#include "animation_test.moc"
