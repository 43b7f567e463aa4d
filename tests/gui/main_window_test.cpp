// Drives the main window's project and editing commands offscreen: the frame
// strip, the preview, the options dialog and the project commands, with the
// dialogs answered by FakeDialogs.

#include <QAction>
#include <QCheckBox>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "engine/project/composition.h"
#include "engine/project/frame_cache.h"
#include "gui/app/frame_strip.h"
#include "gui/app/main_window.h"
#include "gui/app/picture_image.h"
#include "gui/app/preview_canvas.h"
#include "gui/project/options_form.h"
#include "gui_fixtures.h"
#include "platform/qt_settings_store.h"

using namespace pelko;
using namespace pelko::test;

namespace {

// Counts the reads so that a test can tell whether frames were rendered.
struct CountingReader : SourceReader {
    std::unique_ptr<SourceReader> real = makeFileSourceReader();
    int* reads;
    explicit CountingReader(int* counter) : reads(counter) {}
    std::optional<Picture> readStill(const std::string& path, std::string& error) override
    {
        ++*reads;
        return real->readStill(path, error);
    }
    std::optional<GifSource> readGif(const std::string& path, std::string& error) override
    {
        ++*reads;
        return real->readGif(path, error);
    }
};

ProjectOptions canvas(int w, int h)
{
    ProjectOptions o;
    o.Width = w;
    o.Height = h;
    return o;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<TAVIForm> form_;

    QString file(const QString& name) const { return dir_.filePath(name); }

    StartOptions options(QString argument = {})
    {
        return testStartOptions(dir_.filePath("settings.ini"), dialogs_, std::move(argument));
    }

    // A window with a new project of w x h and n pictures of 20 x 10, each
    // of its own colour (frame i from file "iN.png").
    TAVIForm& windowWithFrames(int n, int w = 100, int h = 100)
    {
        form_ = newProjectWindow(file("settings.ini"), dialogs_, canvas(w, h));
        QStringList pictures;
        for (int i = 0; i < n; ++i)
            pictures << writePng(file(QString("i%1.png").arg(i)), 20, 10, Color(0x10 * i));
        if (n > 0)
            form_->addPictures(pictures);
        return *form_;
    }

    QString frameFile(int i) const
    {
        return QFileInfo(QString::fromStdString(form_->project().frames[std::size_t(i)].File)).fileName();
    }

    void clickCard(int i, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                   Qt::MouseButton b = Qt::LeftButton)
    {
        FrameStrip* strip = form_->frameCards();
        const QPoint at = FrameStrip::cardRect(i).center();
        sendMouse(strip, QEvent::MouseButtonPress, at, b, modifiers);
        sendMouse(strip, QEvent::MouseButtonRelease, at, b, modifiers);
    }

    std::vector<int> selected() const { return form_->project().selection.indices(); }

    bool previewShows(int i) const
    {
        const FrameRecord& f = form_->project().frames[std::size_t(i)];
        return form_->previewCanvas()->picture() ==
                   toImage(previewPicture(f, frameImage(form_->project(), i).get())) &&
               form_->previewCanvas()->offset() == QPoint(f.Left, f.Top);
    }

private slots:
    void init() { dialogs_ = std::make_shared<FakeDialogs>(); }
    void cleanup() { form_.reset(); }

    void clickingCards()
    {
        TAVIForm& form = windowWithFrames(3);
        act(form, "ActionSelectAll")->trigger();
        QCOMPARE(selected(), (std::vector<int>{0, 1, 2}));
        QVERIFY(!act(form, "ActionUp")->isEnabled());

        // a plain click on one of three selected frames keeps only it
        clickCard(1);
        QCOMPARE(selected(), std::vector<int>{1});
        QVERIFY(previewShows(1));
        QVERIFY(act(form, "ActionUp")->isEnabled() && act(form, "ActionDown")->isEnabled());

        // Ctrl adds; Ctrl on the first of two removes it and the other is shown
        clickCard(2, Qt::ControlModifier);
        QCOMPARE(selected(), (std::vector<int>{1, 2}));
        QVERIFY(previewShows(1));
        QVERIFY(!act(form, "ActionUp")->isEnabled() && !act(form, "ActionDown")->isEnabled());
        clickCard(1, Qt::ControlModifier);
        QCOMPARE(selected(), std::vector<int>{2});
        QVERIFY(previewShows(2));

        // Shift adds without a range; a right click on a selected frame keeps
        // the selection, elsewhere it selects that frame alone
        clickCard(0, Qt::ShiftModifier);
        QCOMPARE(selected(), (std::vector<int>{2, 0}));
        clickCard(0, Qt::NoModifier, Qt::RightButton);
        QCOMPARE(selected(), (std::vector<int>{2, 0}));
        clickCard(1, Qt::NoModifier, Qt::RightButton);
        QCOMPARE(selected(), std::vector<int>{1});

        // releasing over the strip below the cards clears the selection and
        // empties the preview
        const QPoint below(10, FrameStrip::cardRect(3).top() + 10);
        sendMouse(form.frameCards(), QEvent::MouseButtonRelease, below, Qt::LeftButton);
        QVERIFY(selected().empty());
        QVERIFY(form.previewCanvas()->picture().isNull());
        QVERIFY(!act(form, "ActionDelete")->isEnabled());
    }

    void addingAGifOfTenFrames()
    {
        TAVIForm& form = windowWithFrames(0);
        form.addPictures({writeGif(file("ten.gif"), 10)});
        QCOMPARE(form.project().frames.count(), 10);
        QCOMPARE(form.frameCards()->contentHeight(), 154 * 10 + 4);
        QCOMPARE(form.frameCards()->titleText(0), QString("Frame #1"));
        QCOMPARE(form.frameCards()->titleText(9), QString("Frame #10"));
        QCOMPARE(form.frameCards()->timeText(9), QString("%1 msec").arg(form.project().frames[9].Time));
        QCOMPARE(selected(), std::vector<int>{9});
        QVERIFY(act(form, "ActionUp")->isEnabled());
        QVERIFY(!act(form, "ActionDown")->isEnabled());
        QVERIFY(act(form, "ActionSave")->isEnabled());
        QCOMPARE(form.statusText(4), QString("Frame's number: 10"));
        QCOMPARE(form.frameStrip()->verticalScrollBar()->singleStep(), 154);
        QCOMPARE(form.frameStrip()->verticalScrollBar()->value(),
                 form.frameStrip()->verticalScrollBar()->maximum());

        // frame 0 alone selected never offers Up
        clickCard(0);
        QVERIFY(!act(form, "ActionUp")->isEnabled());
        act(form, "ActionUp")->trigger();
        QCOMPARE(frameFile(0), QString("ten.gif"));
        QCOMPARE(form.project().frames[0].Frame, 0);
    }

    void deleteInsertAndMove()
    {
        TAVIForm& form = windowWithFrames(5);
        // Delete frames 1 and 3 of five
        clickCard(1);
        clickCard(3, Qt::ControlModifier);
        form.project().changed = false;
        act(form, "ActionDelete")->trigger();
        QCOMPARE(form.project().frames.count(), 3);
        QCOMPARE(QStringList({frameFile(0), frameFile(1), frameFile(2)}),
                 QStringList({"i0.png", "i2.png", "i4.png"}));
        QVERIFY(selected().empty());
        QVERIFY(form.project().changed && act(form, "ActionSave")->isEnabled());
        QVERIFY(!act(form, "ActionUp")->isEnabled() && !act(form, "ActionDown")->isEnabled() &&
                !act(form, "ActionDelete")->isEnabled());
        QCOMPARE(form.frameCards()->contentHeight(), 154 * 3 + 4);
        QCOMPARE(form.statusText(4), QString("Frame's number: 3"));

        // Insert of two pictures with frame 2 of five selected
        form.addPictures({file("i1.png"), file("i3.png")});  // i0 i2 i4 i1 i3
        clickCard(2);
        dialogs_->pictures = {writePng(file("a.png"), 8, 8, 0xFF), writePng(file("b.png"), 8, 8, 0xFF00)};
        act(form, "ActionInsert")->trigger();
        QCOMPARE(form.project().frames.count(), 7);
        QCOMPARE(frameFile(4), QString("i4.png"));
        QCOMPARE(selected(), std::vector<int>{4});
        QVERIFY(act(form, "ActionUp")->isEnabled() && act(form, "ActionDown")->isEnabled());
        QCOMPARE(form.frameCards()->contentHeight(), 154 * 7 + 4);

        // Up and Down move the frame and keep it selected
        act(form, "ActionUp")->trigger();
        QCOMPARE(frameFile(3), QString("i4.png"));
        QCOMPARE(selected(), std::vector<int>{3});
        act(form, "ActionDown")->trigger();
        act(form, "ActionDown")->trigger();
        QCOMPARE(frameFile(5), QString("i4.png"));
        QCOMPARE(selected(), std::vector<int>{5});
        QVERIFY(previewShows(5));
    }

    void draggingInThePreview_data()
    {
        QTest::addColumn<int>("pictureWidth");
        QTest::addColumn<QPoint>("move");
        QTest::addColumn<QPoint>("place");
        QTest::newRow("canvas-wide frame stays at the left") << 60 << QPoint(15, 5) << QPoint(0, 5);
        QTest::newRow("moved inside") << 20 << QPoint(7, 3) << QPoint(7, 3);
        QTest::newRow("clamped at the right and top") << 20 << QPoint(100, -50) << QPoint(40, 0);
        QTest::newRow("click without moving") << 20 << QPoint(0, 0) << QPoint(0, 0);
    }

    void draggingInThePreview()
    {
        QFETCH(int, pictureWidth);
        QFETCH(QPoint, move);
        QFETCH(QPoint, place);
        TAVIForm& form = windowWithFrames(0, 60, 40);
        form.addPictures({writePng(file("p.png"), pictureWidth, 10, 0xFF)});
        form.project().changed = false;
        PreviewCanvas* canvas = form.previewCanvas();
        QVERIFY(canvas->isVisible());
        QCOMPARE(canvas->size(), QSize(64, 44));
        const QPoint start(12, 12);
        sendMouse(canvas, QEvent::MouseButtonPress, start, Qt::LeftButton);
        QVERIFY(canvas->dragging());
        if (!move.isNull())
            sendMouse(canvas, QEvent::MouseMove, start + move, Qt::LeftButton);
        sendMouse(canvas, QEvent::MouseButtonRelease, start + move, Qt::LeftButton);
        const FrameRecord& f = form.project().frames[0];
        QCOMPARE(QPoint(f.Left, f.Top), place);
        QCOMPARE(form.project().changed, !place.isNull());
        QCOMPARE(act(form, "ActionSave")->isEnabled(), !place.isNull());
        QCOMPARE(canvas->offset(), place);
    }

    void droppingFilesStopsAtAForeignOne()
    {
        TAVIForm& form = windowWithFrames(0);
        QVERIFY(form.acceptDrops());
        QFile txt(file("notes.txt"));
        QVERIFY(txt.open(QIODevice::WriteOnly));
        txt.close();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(writeBmp(file("a.bmp"), 6, 6)),
                      QUrl::fromLocalFile(file("notes.txt")),
                      QUrl::fromLocalFile(writePng(file("b.png"), 6, 6, 0))});
        QDragEnterEvent enter(QPoint(300, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(300, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &drop);
        QCOMPARE(form.project().frames.count(), 1);
        QCOMPARE(frameFile(0), QString("a.bmp"));
        QCOMPARE(selected(), std::vector<int>{0});
        QCOMPARE(form.statusText(4), QString("Frame's number: 1"));
    }

    void refreshLogsWhatCannotBeReadAgain()
    {
        TAVIForm& form = windowWithFrames(0);
        const QString gif = writeGif(file("two.gif"), 2);
        form.addPictures({gif, writePng(file("gone.png"), 5, 5, 0)});
        QVERIFY(QFile::remove(file("gone.png")));
        form.project().frames[1].Frame = 2;  // as many as the file has sub-images
        act(form, "ActionSelectAll")->trigger();
        // the strip, showing that frame, has logged it already: from a clean log
        QTRY_VERIFY(form.frameCards()->hasPicture(1));
        QCOMPARE(form.project().log.lines(),
                 std::vector<std::string>{"Not found frame 3 in file " + gif.toStdString()});
        form.project().log.clear();
        form.showLog();
        QVERIFY(!form.logPanelShown());
        act(form, "ActionRefresh")->trigger();
        const auto& lines = form.project().log.lines();
        QCOMPARE(lines.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(lines[0]), "Not found frame 3 in file " + gif);
        QCOMPARE(QString::fromStdString(lines[1]), "Not found file: " + file("gone.png"));
        QVERIFY(form.logPanelShown());
        QVERIFY(previewShows(0));
        QVERIFY(!QApplication::overrideCursor());
    }

    void optionsDialogRules()
    {
        const DefaultFrameSize defaults{320, 240};
        TOptionsForm form;
        ProjectOptions o = canvas(50, 60);
        o.Type = ProjectGif;
        form.setOptions(o, ShowFlags{}, false, defaults);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QVERIFY(!form.fixBox()->isEnabled());
        QVERIFY(!form.aviTimeField()->isEnabled() && form.gifTimeField()->isEnabled());

        // 0 into Width puts the remembered width back at once
        form.widthField()->clear();
        QTest::keyClicks(form.widthField(), "0");
        QCOMPARE(form.widthField()->text(), QString("320"));
        // a short time becomes 20 once typed in; Enter moves to OK, Escape to Cancel
        form.gifTimeField()->setFocus();
        form.gifTimeField()->clear();
        QTest::keyClicks(form.gifTimeField(), "7");
        QTest::keyClick(form.gifTimeField(), Qt::Key_Return);
        QCOMPARE(form.gifTimeField()->text(), QString("20"));
        QVERIFY(form.okButton()->hasFocus());
        QVERIFY(form.isVisible());
        form.heightField()->setFocus();
        QTest::keyClick(form.heightField(), Qt::Key_Escape);
        QVERIFY(form.cancelButton()->hasFocus());
        QVERIFY(form.isVisible());
        // out of range is clamped, a non-number reads as the minimum
        form.heightField()->setText("99999");
        QCOMPARE(form.options().Height, 10000);
        form.heightField()->clear();
        QCOMPARE(form.options().Height, 5);

        form.defaultButton()->click();
        const ProjectOptions d = form.options();
        QCOMPARE(d.Type, std::int32_t(ProjectAvi));
        QCOMPARE(QPoint(d.Width, d.Height), QPoint(320, 240));
        QCOMPARE(QPoint(d.AviFrameTime, d.GifFrameTime), QPoint(1000, 500));
        QVERIFY(form.aviTimeField()->isEnabled() && !form.gifTimeField()->isEnabled());
        QCOMPARE(form.showFlags(), ShowFlags::all());

        // for a new project "Fix at first frame" turns the size off
        form.setOptions(o, ShowFlags{}, true, defaults);
        form.fixBox()->click();
        QVERIFY(!form.widthField()->isEnabled() && !form.scaleBox()->isEnabled());
        QVERIFY(form.options().FixAtFirstFrame);
    }

    void projectOptionsCommand()
    {
        TAVIForm& form = windowWithFrames(2);
        int reads = 0;
        form.setSourceReader(std::make_unique<CountingReader>(&reads));
        form.project().frames[0].Left = 7;  // dragged there
        // only the AVI time changed: every frame takes it, nothing is read
        ProjectOptions o = canvas(100, 100);
        o.AviFrameTime = 300;
        dialogs_->options = o;
        act(form, "ActionProjectOptions")->trigger();
        QCOMPARE(reads, 0);
        QCOMPARE(form.project().frames[0].Left, 7);
        QCOMPARE(form.frameCards()->timeText(1), QString("300 msec"));
        QCOMPARE(form.project().frames[0].Time, std::uint16_t(300));
        QCOMPARE(form.statusText(3), QString::fromStdString(playbackText(600)));

        // a new size places every frame anew from its source (which the frame
        // cache still holds from Add) and resizes the canvas
        o = canvas(80, 50);
        o.Type = ProjectGif;
        dialogs_->options = o;
        act(form, "ActionProjectOptions")->trigger();
        QCOMPARE(form.project().frames[0].Left, 0);
        QCOMPARE(reads, 0);
        QCOMPARE(form.previewCanvas()->surfaceSize(), QSize(80, 50));
        QCOMPARE(form.statusText(1), QString("GIF"));
        QCOMPARE(form.statusText(2), QString("Size: 80 x 50"));
        QCOMPARE(form.toolButton("ToolButRun")->toolTip(), QString("Run as GIF"));
        QCOMPARE(selected(), std::vector<int>{0});
    }

    void newCancelAndTheChangedQuestion()
    {
        TAVIForm& form = windowWithFrames(2);
        QCOMPARE(form.statusText(0), QString("New project"));
        form.project().changed = false;
        form.applyEnabling();
        // New followed by Cancel changes nothing
        dialogs_->options.reset();
        act(form, "ActionNew")->trigger();
        QCOMPARE(form.project().frames.count(), 2);
        QVERIFY(!form.project().changed && !act(form, "ActionSave")->isEnabled());
        QCOMPARE(dialogs_->questionsAsked, 0);  // unchanged: nothing to ask

        // with changes, Cancel at the question keeps the window and the project
        form.project().changed = true;
        dialogs_->answer = QMessageBox::Cancel;
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        QCOMPARE(form.project().frames.count(), 2);
        const int asked = dialogs_->optionsAsked;
        act(form, "ActionNew")->trigger();
        QCOMPARE(dialogs_->optionsAsked, asked);  // the New dialog did not come
        QCOMPARE(dialogs_->questionsAsked, 2);

        // "Fix at first frame": no canvas until the first frame gives it a size
        dialogs_->answer = QMessageBox::No;
        ProjectOptions fix = canvas(100, 100);
        fix.FixAtFirstFrame = true;
        dialogs_->options = fix;
        act(form, "ActionNew")->trigger();
        QVERIFY(form.project().frames.empty());
        QVERIFY(!form.previewCanvas()->isVisible());
        form.addPictures({writePng(file("first.png"), 33, 22, 0)});
        QVERIFY(form.previewCanvas()->isVisible());
        QCOMPARE(form.previewCanvas()->surfaceSize(), QSize(33, 22));
        QCOMPARE(form.statusText(2), QString("Size: 33 x 22"));
    }

    void saveFailureIsShownAndTheProjectStaysChanged()
    {
        TAVIForm& form = windowWithFrames(1);
        const QString bad = file("no/such/folder/p.mcp");
        dialogs_->savePath = bad;
        act(form, "ActionSave")->trigger();
        QCOMPARE(dialogs_->errors, QStringList("Unable to write to " + bad + ": No such file or directory"));
        QVERIFY(form.project().changed && act(form, "ActionSave")->isEnabled());
        QVERIFY(form.recentProjects().entries().empty());

        // "Yes" at the question with a save that fails keeps the window open
        dialogs_->answer = QMessageBox::Yes;
        QVERIFY(!form.close());
        QCOMPARE(dialogs_->errors.size(), 2);
        QCOMPARE(form.project().frames.count(), 1);
        // a cancelled save dialog lets the command go on
        dialogs_->savePath.clear();
        QVERIFY(form.close());
    }

    void cancellingTheProgressKeepsTheFramesReadSoFar()
    {
        TAVIForm& form = windowWithFrames(0);
        QStringList pictures;
        for (int i = 0; i < 3; ++i) pictures << writePng(file(QString("c%1.png").arg(i)), 5, 5, 0);
        // the first look at the events after the first file presses Cancel
        QTimer::singleShot(0, &form, [&form] {
            auto* progress = form.findChild<QProgressDialog*>();
            QVERIFY(progress);
            progress->cancel();
        });
        form.addPictures(pictures);
        QCOMPARE(form.project().frames.count(), 1);
        QCOMPARE(selected(), std::vector<int>{0});
        QVERIFY(!form.findChild<QProgressDialog*>());
    }

    void newAddMoveSaveAndStartAgain()
    {
        {
            TAVIForm& form = windowWithFrames(3, 64, 48);
            clickCard(2);
            act(form, "ActionUp")->trigger();
            sendMouse(form.previewCanvas(), QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
            sendMouse(form.previewCanvas(), QEvent::MouseMove, {15, 14}, Qt::LeftButton);
            sendMouse(form.previewCanvas(), QEvent::MouseButtonRelease, {15, 14}, Qt::LeftButton);
            dialogs_->savePath = file("movie.mcp");
            act(form, "ActionSave")->trigger();
            QVERIFY(dialogs_->errors.isEmpty());
            QVERIFY(!act(form, "ActionSave")->isEnabled());
            QCOMPARE(QString::fromStdString(form.recentProjects().entries().at(0)), file("movie.mcp"));
            QVERIFY(form.close());
            QCOMPARE(dialogs_->questionsAsked, 0);
            form_.reset();
        }
        dialogs_ = std::make_shared<FakeDialogs>();
        form_ = std::make_unique<TAVIForm>(options(file("movie.mcp")));
        form_->show();
        QTRY_COMPARE(form_->project().frames.count(), 3);
        QCOMPARE(QStringList({frameFile(0), frameFile(1), frameFile(2)}),
                 QStringList({"i0.png", "i2.png", "i1.png"}));
        const FrameRecord& moved = form_->project().frames[1];
        QCOMPARE(QPoint(moved.Left, moved.Top), QPoint(5, 4));
        QCOMPARE(dialogs_->optionsAsked, 0);  // the argument opened it, no New dialog
        QCOMPARE(form_->statusText(0), QString("movie.mcp"));
        QCOMPARE(form_->previewCanvas()->surfaceSize(), QSize(64, 48));
        QCOMPARE(selected(), std::vector<int>{0});
        QVERIFY(!act(*form_, "ActionSave")->isEnabled());
        QVERIFY(act(*form_, "ActionDown")->isEnabled());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
