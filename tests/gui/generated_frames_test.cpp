// The commands that generate frames through the real window and dialogs:
// "Adding frames with Alpha blending" and "Creeping line", their previews,
// what they insert, what Cancel leaves, and the same GIF bytes as pelko-cli.

#include <QCheckBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "engine/effects/alpha_blend.h"
#include "engine/image/ppm.h"
#include "engine/project/frame_cache.h"
#include "gui/app/main_window.h"
#include "gui/effects/alpha_form.h"
#include "gui/effects/text_form.h"
#include "gui/effects/text_preview.h"
#include "gui_fixtures.h"

using namespace pelko;
using namespace pelko::test;

class GeneratedFramesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> dir_;
    std::shared_ptr<FakeDialogs> dialogs_;
    std::unique_ptr<TAVIForm> form_;

    // A window with a new 40 x 30 GIF project of the given one-colour
    // pictures (40 x 30 each); generated files go to DIR/program/Work.
    TAVIForm& window(const std::vector<Color>& colours)
    {
        dir_ = std::make_unique<QTemporaryDir>();
        dialogs_ = std::make_shared<FakeDialogs>();
        ProjectOptions canvas;
        canvas.Width = 40;
        canvas.Height = 30;
        canvas.Type = ProjectGif;
        form_ = newProjectWindow(dir_->filePath("settings.ini"), dialogs_, canvas);
        QStringList pictures;
        for (std::size_t i = 0; i < colours.size(); ++i)
            pictures << writePng(dir_->filePath(QString("f%1.png").arg(i)), 40, 30, colours[i]);
        form_->addPictures(pictures);
        QDir(dir_->path()).mkdir("program");
        generatedState(*form_).programFolder = dir_->filePath("program");
        return *form_;
    }

    void select(int index)
    {
        form_->project().selection.selectOnly(index);
        form_->mirrorProject(index);
    }

    QString work(const QString& name) const { return dir_->filePath("program/Work/" + name); }

    // What pelko-cli writes for the saved project; its GIF is removed again.
    QByteArray cliGif(const QStringList& arguments)
    {
        QProcess cli;
        cli.start(PELKO_CLI, arguments);
        if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
            qWarning() << cli.readAllStandardError();
            return {};
        }
        const QString path = QString::fromUtf8(cli.readAllStandardOutput()).trimmed();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        QFile::remove(path);
        return bytes;
    }

    static QByteArray fileBytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void cleanup() { form_.reset(); }

    void alphaPreviewAndInsert()
    {
        TAVIForm& form = window({0xFF0000, 0x00FF00, 0x000000, 0xFFFFFF, 0x0000FF});
        QVERIFY(act(form, "ActionAlpha")->isVisible());
        QVERIFY(act(form, "ActionAlpha")->isEnabled());
        QVERIFY(form.saveProjectTo(dir_->filePath("p.mcp")));
        select(3);
        dialogs_->alphaScript = [](TFormAlpha& f) {
            // remembered defaults, SetColor only for the first frame
            if (f.numberEdit()->value() != 5 || f.timeEdit()->value() != 300 ||
                !f.showUpButton()->isChecked() || f.setColorButton()->isEnabled() || !f.timer()->isActive() ||
                !f.shownPicture().isNull())
                return false;
            f.showNextPicture();
            f.showNextPicture();  // the second picture: alpha 63 of white over black
            if (f.shownPicture().pixelColor(0, 0) != QColor(63, 63, 63) || f.nextPicture() != 2)
                return false;
            f.timeEdit()->setValue(305);
            if (f.timer()->interval() != 305 || f.nextPicture() != 2)
                return false;
            f.numberEdit()->setValue(4);  // a new sequence starts at picture 0
            if (f.nextPicture() != 0)
                return false;
            f.addButton()->click();
            return f.result() == QDialog::Accepted;
        };
        act(form, "ActionAlpha")->trigger();
        const Project& p = form.project();
        QCOMPARE(p.frames.count(), 9);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(QString::fromStdString(p.frames[std::size_t(4 + k)].File), work("AlphaBlend.gif"));
            QCOMPARE(int(p.frames[std::size_t(4 + k)].Time), 300);
        }
        QCOMPARE(frameImage(p, 5).get().pixel(0, 0), rgb(85, 85, 85));  // 255 div 3
        QCOMPARE(p.selection.indices(), std::vector<int>{4});
        QVERIFY(act(form, "ActionSave")->isEnabled());
        QCOMPARE(generatedState(form).alpha.count, 4);
        QCOMPARE(generatedState(form).lastEffectFile, work("AlphaBlend.gif"));

        // pelko-cli with the same settings writes the same bytes
        QCOMPARE(cliGif({"blend", dir_->filePath("p.mcp"), "4", "--count", "4", "--time", "305"}),
                 fileBytes(work("AlphaBlend.gif")));

        // the dialog opens with what was added last; Cancel changes nothing
        select(0);
        int asked = 0;
        dialogs_->alphaScript = [&](TFormAlpha& f) {
            ++asked;
            if (f.numberEdit()->value() != 4 || f.timeEdit()->value() != 305 ||
                !f.setColorButton()->isEnabled())
                return false;
            f.numberEdit()->setValue(9);
            f.cancelButton()->click();
            return false;
        };
        act(form, "ActionAlpha")->trigger();
        QCOMPARE(asked, 1);
        QCOMPARE(p.frames.count(), 9);
        QCOMPARE(generatedState(form).alpha.count, 4);
        QCOMPARE(QDir(dir_->filePath("program/Work")).entryList(QDir::Files).size(), 1);
    }

    void alphaFromTheBackground()
    {
        TAVIForm& form = window({0xFFFFFF, 0x000000});
        select(0);
        dialogs_->colour = rgb(255, 0, 0);
        dialogs_->alphaScript = [](TFormAlpha& f) {
            f.setColorButton()->click();
            f.showNextPicture();
            if (f.shownPicture().pixelColor(0, 0) != QColor(255, 0, 0))
                return false;
            f.hideUpButton()->click();
            f.numberEdit()->setValue(2);
            f.addButton()->click();
            return true;
        };
        act(form, "ActionAlpha")->trigger();
        const Project& p = form.project();
        QCOMPARE(p.frames.count(), 4);
        QCOMPARE(frameImage(p, 1).get().pixel(5, 5), Color(0xFFFFFF));  // hide up: the anchor first
        QCOMPARE(frameImage(p, 2).get().pixel(5, 5), rgb(255, 0, 0));   // then the background
        QCOMPARE(generatedState(form).alpha.background, rgb(255, 0, 0));
        QVERIFY(generatedState(form).alpha.hideUp);
    }

    void noWorkFolderInsertsNothing()
    {
        TAVIForm& form = window({0xFFFFFF, 0x000000});
        std::ofstream(dir_->filePath("file").toStdString()) << "not a folder";
        generatedState(form).programFolder = dir_->filePath("gone");
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir_->filePath("file").toUtf8());
        select(1);
        dialogs_->alphaScript = [](TFormAlpha&) { return true; };
        act(form, "ActionAlpha")->trigger();
        qputenv("XDG_DATA_HOME", saved);
        QCOMPARE(dialogs_->errors.size(), 1);
        QCOMPARE(dialogs_->errors[0], "One cannot create " + dir_->filePath("gone") + "/ Work directory.");
        QCOMPARE(form.project().frames.count(), 2);
        QCOMPARE(generatedState(form).alpha.count, 5);
    }

    void textAppendedThenInserted()
    {
        TAVIForm& form = window({0x00FF00, 0x0000FF, 0xFF0000});
        QVERIFY(form.saveProjectTo(dir_->filePath("p.mcp")));
        QVERIFY(act(form, "ActionAddText")->isVisible());
        select(2);
        dialogs_->textScript = [](TFormText& f) {
            // the defaults: "Pelko" over the whole canvas, 5 frames of 300 ms
            if (f.textEdit()->text() != "Pelko" || f.widthEdit()->value() != 40 ||
                f.heightEdit()->value() != 30 || f.countEdit()->value() != 5 ||
                !f.directionButton(CreepDirection::LeftToRight)->isChecked())
                return false;
            f.textEdit()->setText("Hi");
            f.setTextButton()->click();
            f.directionButton(CreepDirection::RightToLeft)->click();  // start top: half the area
            if (f.startTopEdit()->value() != 15)
                return false;
            f.countEdit()->setValue(3);
            f.durationEdit()->setValue(250);
            f.addButton()->click();
            return true;
        };
        act(form, "ActionAddText")->trigger();
        const Project& p = form.project();
        QCOMPARE(p.frames.count(), 6);
        for (int k = 0; k < 3; ++k) {
            const FrameRecord& f = p.frames[std::size_t(3 + k)];
            QCOMPARE(QString::fromStdString(f.File), work("Hi.gif"));
            QCOMPARE(f.Gif.ReductionBit, 3);
            QCOMPARE(int(f.Time), 250);
        }
        QCOMPARE(p.selection.indices(), std::vector<int>{5});  // appended: the last frame
        QVERIFY(!act(form, "ActionDown")->isEnabled());
        QCOMPARE(generatedState(form).text->text, std::string("Hi"));

        // pelko-cli with the same settings draws the same pixels and writes the same bytes
        QCOMPARE(cliGif({"text", dir_->filePath("p.mcp"), "3", "--text", "Hi", "--direction", "right",
                         "--count", "3", "--time", "250", "--start", "0,15"}),
                 fileBytes(work("Hi.gif")));

        // again after frame 0 with the settings kept: inserted, named Hi1.gif
        select(0);
        dialogs_->textScript = [](TFormText& f) {
            if (f.textEdit()->text() != "Hi" || f.countEdit()->value() != 3 ||
                !f.directionButton(CreepDirection::RightToLeft)->isChecked())
                return false;
            f.widthEdit()->setValue(20);
            f.frameLeftEdit()->setValue(25);  // at most 40 - 20
            if (f.frameLeftEdit()->value() != 20)
                return false;
            f.addButton()->click();
            return true;
        };
        act(form, "ActionAddText")->trigger();
        QCOMPARE(p.frames.count(), 9);
        QCOMPARE(QString::fromStdString(p.frames[1].File), work("Hi1.gif"));
        QCOMPARE(std::tie(p.frames[1].Left, p.frames[1].Width), std::make_tuple(20, 20));
        QCOMPARE(p.selection.indices(), std::vector<int>{1});
        QVERIFY(act(form, "ActionDown")->isEnabled());

        // Cancel changes nothing; new project options start the defaults again
        dialogs_->textScript = [](TFormText& f) {
            f.countEdit()->setValue(9);
            f.cancelButton()->click();
            return false;
        };
        act(form, "ActionAddText")->trigger();
        QCOMPARE(p.frames.count(), 9);
        QCOMPARE(generatedState(form).text->count, 3);
        dialogs_->options = ProjectOptions{};
        dialogs_->options->Type = ProjectGif;
        act(form, "ActionProjectOptions")->trigger();
        QVERIFY(!generatedState(form).text);
    }

    void textDialogControls()
    {
        TAVIForm& form = window({0x00FF00, 0x123456});
        select(1);
        TextFont big;
        big.size = 20;
        big.color = rgb(0, 0, 255);
        dialogs_->font = big;
        dialogs_->textScript = [&](TFormText& f) {
            f.fontButton()->click();
            if (!(f.settings().font == big))
                return false;
            // a click and a double-click on the shown frame take its colour
            f.showBackgroundBox()->click();
            sendMouse(f.canvas(), QEvent::MouseButtonRelease, {3, 3}, Qt::LeftButton);
            sendMouse(f.canvas(), QEvent::MouseButtonDblClick, {3, 3}, Qt::LeftButton);
            if (f.settings().background != Color(0x123456))
                return false;
            // dragging the area: a move off the canvas is ignored per axis
            f.widthEdit()->setValue(10);
            f.heightEdit()->setValue(10);
            QWidget* area = f.canvas()->area();
            sendMouse(area, QEvent::MouseButtonPress, {1, 1}, Qt::LeftButton);
            sendMouse(area, QEvent::MouseMove, {8, 100}, Qt::LeftButton);
            sendMouse(area, QEvent::MouseButtonRelease, {8, 100}, Qt::LeftButton);
            if (f.frameLeftEdit()->value() != 7 || f.frameTopEdit()->value() != 0)
                return false;
            // "by default" keeps font and colour
            f.defaultButton()->click();
            const CreepingLineSettings s = f.settings();
            return s.frameLeft == 0 && s.width == 40 && s.font == big && s.background == Color(0x123456) &&
                   !s.showBackground && f.timer()->isActive();
        };
        act(form, "ActionAddText")->trigger();
        QCOMPARE(form.project().frames.count(), 2 + 5);
    }
};

QTEST_MAIN(GeneratedFramesTest)
#include "generated_frames_test.moc"
