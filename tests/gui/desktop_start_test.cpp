// Pelko on the desktop: started on files from the command line (as a file
// manager's "Open with" starts it) and finding its data folder, installed
// or in the source tree.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "engine/project/frame_cache.h"
#include "gui/app/command_line.h"
#include "gui/app/help_window.h"
#include "gui/app/main_window.h"
#include "gui/app/preview_canvas.h"
#include "gui_fixtures.h"
#include "platform/data_folder.h"

using namespace pelko;
using namespace pelko::test;

class DesktopStartTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    // A window started as "pelko ARGUMENTS...", shown.
    std::unique_ptr<TAVIForm> startWith(const QStringList& arguments, std::shared_ptr<FakeDialogs> dialogs)
    {
        QFile::remove(dir_.filePath("settings.ini"));
        StartOptions options = testStartOptions(dir_.filePath("settings.ini"), std::move(dialogs));
        takeStartFiles(QStringList{"pelko"} + arguments, options);
        auto form = std::make_unique<TAVIForm>(std::move(options));
        form->show();
        return form;
    }

private slots:
    void argumentsSayProjectOrPictures()
    {
        StartOptions o;
        takeStartFiles({"pelko", "a.mcp", "b.png"}, o);
        QCOMPARE(o.projectArgument, QString("a.mcp"));
        QVERIFY(o.pictureArguments.isEmpty());
        takeStartFiles({"pelko", "b.png", "/p/c.gif"}, o);
        QVERIFY(o.projectArgument.isEmpty());
        QCOMPARE(o.pictureArguments, QStringList({QDir::current().filePath("b.png"), "/p/c.gif"}));
        takeStartFiles({"pelko"}, o);
        QVERIFY(o.projectArgument.isEmpty() && o.pictureArguments.isEmpty());
    }

    void gifOnCommandLineShowsItsFramesInNewGifProject()
    {
        auto dialogs = std::make_shared<FakeDialogs>();
        // a relative path, as a shell hands it over
        const QString gif = writeGif(dir_.filePath("anim.gif"), 3);
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        auto form = startWith({"anim.gif"}, dialogs);
        QDir::setCurrent(old);

        QTRY_COMPARE(form->project().frames.count(), 3);
        QCOMPARE(dialogs->optionsAsked, 0);  // no New dialog: the file says what to make
        QVERIFY(dialogs->errors.isEmpty());
        const Project& p = form->project();
        QVERIFY(p.settings.isGif());
        QVERIFY(p.changed);
        QVERIFY(p.path.empty());
        QCOMPARE(form->statusText(0), QString("New project"));
        QCOMPARE(form->statusText(1), QString("GIF"));
        // the canvas of the first frame, each frame from its own sub-image
        QCOMPARE(form->statusText(2), QString("Size: 4 x 4"));
        QCOMPARE(form->statusText(4), QString("Frame's number: 3"));
        for (int i = 0; i < 3; ++i) {
            const FrameRecord& f = p.frames[std::size_t(i)];
            QCOMPARE(QString::fromStdString(f.File), gif);
            QCOMPARE(f.Frame, i);
            QCOMPARE(int(f.Time), 100);
        }
        QVERIFY(form->firstProjectSetUp());
        for (int i = 0; i < 3; ++i) QVERIFY(frameImage(p, i).ok());
        QVERIFY(form->previewCanvas()->isVisible());
        QVERIFY(!form->previewCanvas()->picture().isNull());
    }

    void stillsStartProjectOfTheDefaultTypeAndUnreadableFilesAreReported()
    {
        auto dialogs = std::make_shared<FakeDialogs>();
        const QString a = writePng(dir_.filePath("a.png"), 30, 20, rgb(255, 0, 0));
        QFile broken(dir_.filePath("broken.png"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a picture");
        broken.close();
        auto form = startWith({a, broken.fileName()}, dialogs);

        QTRY_COMPARE(form->project().frames.count(), 1);
        QTRY_COMPARE(dialogs->errors.size(), 1);
        QVERIFY(dialogs->errors.at(0).contains("broken.png"));
        QVERIFY(!form->project().settings.isGif());
        QCOMPARE(form->statusText(2), QString("Size: 30 x 20"));
        QCOMPARE(dialogs->optionsAsked, 0);
    }

    void dataFolderIsTheInstalledOneElseTheSourceTrees()
    {
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath("bin"));
        QVERIFY(QDir(prefix.path()).mkpath("share/pelko/help"));
        const QString source = findDataFolder(prefix.filePath("bin"));
        // not installed yet: the source tree's (this test runs from the build folder)
        QVERIFY(QFile::exists(source + "/help/index.html"));
        QVERIFY(QFile::exists(source + "/demo/demo.mcp"));

        QFile page(prefix.filePath("share/pelko/help/index.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body>installed help</body></html>");
        page.close();
        QCOMPARE(findDataFolder(prefix.filePath("bin")), prefix.filePath("share/pelko"));
    }

    void helpWindowShowsThePagesOfTheDataFolder()
    {
        HelpWindow help;
        QVERIFY(help.loaded());
        QCOMPARE(help.browser()->source(), QUrl::fromLocalFile(dataFolder() + "/help/index.html"));
        QVERIFY(help.browser()->toPlainText().contains("Reopen"));
    }
};

QTEST_MAIN(DesktopStartTest)
#include "desktop_start_test.moc"
