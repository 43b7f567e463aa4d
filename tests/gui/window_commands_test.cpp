// The window's command rail and the habits around it, through the real
// window: enabling from the engine's rule, errors shown once and in one box,
// the strip's pop-up menu and keys, and the status panels after saving.

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <stdexcept>

#include "gui/app/frame_strip.h"
#include "gui/app/main_window.h"
#include "gui/app/preview_canvas.h"
#include "gui_fixtures.h"
#include "platform/qt_settings_store.h"

using namespace pelko;
using namespace pelko::test;

namespace {

// A source reader that fails in a way the engine does not expect.
struct ThrowingReader : SourceReader {
    bool standard = true;
    std::optional<Picture> readStill(const std::string&, std::string&) override
    {
        if (standard)
            throw std::runtime_error("disk on fire");
        throw 42;
    }
    std::optional<GifSource> readGif(const std::string&, std::string&) override { return std::nullopt; }
};

}  // namespace

class WindowCommandsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<TAVIForm> form_;

    QString file(const QString& name) const { return dir_.filePath(name); }

    TAVIForm& window(int n)
    {
        dialogs_ = std::make_shared<FakeDialogs>();
        form_ = newProjectWindow(file("settings.ini"), dialogs_, ProjectOptions{});
        QStringList pictures;
        for (int i = 0; i < n; ++i) pictures << writePng(file(QString("p%1.png").arg(i)), 8, 6, Color(i));
        if (n > 0)
            form_->addPictures(pictures);
        return *form_;
    }

    std::vector<int> selected() const { return form_->project().selection.indices(); }

    // Presses key in the frame strip.
    void stripKey(Qt::Key key)
    {
        QTest::keyClick(form_->frameCards(), key);
        QCoreApplication::processEvents();
    }

private slots:
    void cleanup() { form_.reset(); }

    void selectionCommandsNeedASelection()
    {
        // before any project
        dialogs_ = std::make_shared<FakeDialogs>();
        TAVIForm bare(testStartOptions(file("settings.ini"), dialogs_));
        for (const char* name :
             {"ActionClone", "ActionFlip0", "ActionConvert2", "ActionDelete", "ActionSaveAs"})
            QVERIFY2(!act(bare, name)->isEnabled(), name);
        QVERIFY(!bare.toolButton("flipButton")->isEnabled());

        TAVIForm& form = window(2);
        QVERIFY(act(form, "ActionClone")->isEnabled());
        const auto flipMenu = [&] {
            for (QMenu* m : form.findChildren<QMenu*>())
                if (m->title() == "Flip frame")
                    return m;
            return static_cast<QMenu*>(nullptr);
        };
        QVERIFY(flipMenu() && flipMenu()->isEnabled());
        sendMouse(form.frameCards(), QEvent::MouseButtonRelease, {10, FrameStrip::cardRect(2).top() + 10},
                  Qt::LeftButton);  // below the cards: nothing selected
        QVERIFY(selected().empty());
        QVERIFY(!act(form, "ActionClone")->isEnabled());
        QVERIFY(!flipMenu()->isEnabled());
        QVERIFY(!form.toolButton("convertButton")->isEnabled());
        // the shortcut of a disabled command does nothing
        QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(form.project().frames.count(), 2);
    }

    void rightClickOnAnUnselectedCardSelectsItAlone()
    {
        TAVIForm& form = window(3);
        QCOMPARE(selected(), std::vector<int>{2});
        // the pop-up comes with the press, before any release reaches the card
        const QPoint at = FrameStrip::cardRect(0).center();
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, form.frameCards()->mapToGlobal(at));
        QApplication::sendEvent(form.frameCards(), &menu);
        QCOMPARE(selected(), std::vector<int>{0});
        QTRY_VERIFY(form.menu("stripMenu")->isVisible());
        form.menu("stripMenu")->close();
        act(form, "ActionDelete")->trigger();  // what the pop-up's Delete does
        QCOMPARE(form.project().frames.count(), 2);
        QCOMPARE(QFileInfo(QString::fromStdString(form.project().frames[0].File)).fileName(),
                 QString("p1.png"));
    }

    void stripKeysMoveAndDelete()
    {
        TAVIForm& form = window(4);
        form.frameCards()->setFocus();
        stripKey(Qt::Key_Home);
        QCOMPARE(selected(), std::vector<int>{0});
        stripKey(Qt::Key_Up);  // stays on the first
        QCOMPARE(selected(), std::vector<int>{0});
        stripKey(Qt::Key_Down);
        QCOMPARE(selected(), std::vector<int>{1});
        QCOMPARE(form.previewCanvas()->offset(), QPoint(0, 0));
        QVERIFY(!form.previewCanvas()->picture().isNull());
        stripKey(Qt::Key_End);
        QCOMPARE(selected(), std::vector<int>{3});
        stripKey(Qt::Key_Delete);
        QCOMPARE(form.project().frames.count(), 3);
        QVERIFY(selected().empty());
        stripKey(Qt::Key_Delete);  // nothing selected: nothing happens
        QCOMPARE(form.project().frames.count(), 3);
        stripKey(Qt::Key_Up);  // from nothing selected: the last frame
        QCOMPARE(selected(), std::vector<int>{2});
        QCOMPARE(act(form, "ActionExit")->shortcuts().contains(QKeySequence(QKeySequence::Quit)), true);
    }

    void savingShowsTheSavedName()
    {
        TAVIForm& form = window(1);
        QCOMPARE(form.statusText(0), QString("New project"));
        dialogs_->savePath = file("new1.mcp");
        act(form, "ActionSave")->trigger();
        QCOMPARE(form.statusText(0), QString("new1.mcp"));
        dialogs_->savePath = file("demo2.mcp");
        act(form, "ActionSaveAs")->trigger();
        QCOMPARE(form.statusText(0), QString("demo2.mcp"));
        QCOMPARE(QString::fromStdString(form.project().path), file("demo2.mcp"));
    }

    void statusPanelsShowTheirWholeText()
    {
        TAVIForm& form = window(0);
        Project& p = form.project();
        for (int i = 0; i < 21; ++i) p.frames.append(FrameRecord{});
        p.settings.Width = 3088;
        p.settings.Height = 2056;
        form.showSizeStatus();
        form.showFrameStatus();
        QCoreApplication::processEvents();
        for (int i = 0; i < 5; ++i) {
            auto* panel = form.statusBar()->findChild<QLabel*>(QString("statusPanel%1").arg(i + 1));
            QVERIFY(panel);
            const int needed = panel->fontMetrics().horizontalAdvance(panel->text());
            QVERIFY2(panel->contentsRect().width() >= needed, qPrintable(panel->text()));
        }
    }

    void failuresOfSeveralFilesComeInOneBox()
    {
        TAVIForm& form = window(0);
        QStringList broken;
        for (const char* name : {"a.png", "b.png"}) {
            QFile f(file(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not a picture");
            broken << file(name);
        }
        form.addPictures(broken);
        QCOMPARE(dialogs_->errors.size(), 1);
        QVERIFY(dialogs_->errors[0].contains(file("a.png")));
        QVERIFY(dialogs_->errors[0].contains(file("b.png")));
        QVERIFY(dialogs_->errors[0].startsWith("This file is not PNG."));
    }

    void anEscapingErrorIsShownOnceAndTheWindowGoesOn()
    {
        TAVIForm& form = window(0);
        auto reader = std::make_unique<ThrowingReader>();
        ThrowingReader* throwing = reader.get();
        form.setSourceReader(std::move(reader));
        const QString png = writePng(file("x.png"), 4, 4, 0);
        form.addPictures({png});
        QCOMPARE(dialogs_->errors, QStringList("disk on fire"));
        throwing->standard = false;
        form.addPictures({png});
        QCOMPARE(dialogs_->errors.last(), QString("Unknown error."));
        // the wait cursor is gone and commands run again
        QVERIFY(!QApplication::overrideCursor());
        form.setSourceReader(makeFileSourceReader());
        form.addPictures({png});
        QCOMPARE(form.project().frames.count(), 1);
    }

    void aCommandWaitsWhileAnotherIsAtWork()
    {
        TAVIForm& form = window(0);
        QStringList pictures;
        for (int i = 0; i < 3; ++i) pictures << writePng(file(QString("w%1.png").arg(i)), 4, 4, 0);
        // while Add reports progress, Select All and Delete are asked for
        bool tried = false;
        QTimer::singleShot(0, &form, [&] {
            tried = true;
            act(form, "ActionSelectAll")->trigger();
            act(form, "ActionDelete")->trigger();
        });
        form.addPictures(pictures);
        QVERIFY(tried);
        QCOMPARE(form.project().frames.count(), 3);
        QCOMPARE(selected(), std::vector<int>{2});
    }

    void thumbnailsAreSharpOnADenseScreen()
    {
        dialogs_ = std::make_shared<FakeDialogs>();
        ProjectOptions large;
        large.Width = 800;
        large.Height = 600;
        form_ = newProjectWindow(file("settings.ini"), dialogs_, large);
        TAVIForm& form = *form_;
        form.addPictures(
            {writePng(file("big.png"), 400, 200, 0x00FF00), writePng(file("small.png"), 20, 10, 0)});
        FrameStrip* strip = form.frameCards();
        QCOMPARE(strip->cardPicture(0, 1).size(), QSize(168, 108));
        const QImage sharp = strip->cardPicture(0, 2);
        QCOMPARE(sharp.size(), QSize(336, 216));
        QCOMPARE(sharp.devicePixelRatio(), 2.0);
        QCOMPARE(sharp.pixelColor(168, 108), QColor(0, 0xFF, 0));    // the picture, not the white box
        QCOMPARE(strip->cardPicture(1, 2).size(), QSize(168, 108));  // shown unscaled anyway
    }

    void emptyWindowShowsNoCanvasAndLogShowsWholeLines()
    {
        {
            TAVIForm bare(testStartOptions(file("settings.ini"), std::make_shared<FakeDialogs>()));
            bare.show();
            QCoreApplication::processEvents();
            QVERIFY(!bare.previewCanvas()->isVisible());  // not even its bevel
        }
        TAVIForm& form = window(0);
        form.project().log.add("one");
        form.project().log.add("two");
        form.project().log.add("three");
        form.showLog();
        QCoreApplication::processEvents();
        QPlainTextEdit* log = form.logView();
        const int lineHeight = log->fontMetrics().lineSpacing();
        const int textHeight = log->viewport()->height() - 2 * int(log->document()->documentMargin());
        QVERIFY2(textHeight >= 3 * lineHeight, qPrintable(QString::number(textHeight)));
        QVERIFY2(textHeight < 4 * lineHeight, qPrintable(QString::number(textHeight)));
    }
};

QTEST_MAIN(WindowCommandsTest)
#include "window_commands_test.moc"
